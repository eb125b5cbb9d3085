// End-to-end test harness: a private Xvfb, programs started on it, window
// lookup, screenshots and real input (XTEST via xdotool).
//
// Typical use from a GoogleTest case:
//
//   quillon::e2e::XSession x;                        // starts Xvfb 1280x1024
//   ASSERT_TRUE(x.ok()) << x.error();
//   quillon::e2e::App app(x, QUILLON_BINARY, {});
//   ASSERT_TRUE(app.ok()) << app.error();
//   auto win = x.findWindow(app.pid());
//   ASSERT_TRUE(win) << app.stderrText();
//   ASSERT_TRUE(x.click(10, 10));
//   x.settle();
//   EXPECT_EQ(x.screenshot().pixel(10, 10), 0x008080u);
//
// Nothing here calls exit() or aborts: queries return std::optional / empty
// values, actions return ::testing::AssertionResult so that
// ASSERT_TRUE(x.key("Escape")) prints why it failed.
//
// The header deliberately does not include Xlib (its macros such as None,
// Bool and Status collide with ordinary C++ code); X ids are plain integers.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include <sys/types.h>

struct _XDisplay;

namespace quillon::e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;
using WindowId = unsigned long;  // an X Window XID

// Calls `pred` every `interval` until it returns true or `timeout` elapses.
// Returns the last result of `pred` (evaluated once more at the deadline).
bool waitUntil(const std::function<bool()>& pred, Millis timeout,
               Millis interval = 10ms);

struct Rect {
  int x = 0, y = 0, width = 0, height = 0;
  bool contains(int px, int py) const {
    return px >= x && py >= y && px < x + width && py < y + height;
  }
  friend bool operator==(const Rect&, const Rect&) = default;
};
std::ostream& operator<<(std::ostream&, const Rect&);

struct Point {
  int x = 0, y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};
std::ostream& operator<<(std::ostream&, const Point&);

// A screen capture. Pixels are 0xRRGGBB (the top byte is always zero).
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // row-major, width * height entries

  bool empty() const { return pixels.empty(); }
  // Throws std::out_of_range outside the image (GoogleTest reports it).
  uint32_t pixel(int x, int y) const;
  // The part of `r` inside the image (may be empty).
  Image crop(int x, int y, int w, int h) const;
  Image crop(const Rect& r) const { return crop(r.x, r.y, r.width, r.height); }
  // Number of pixels exactly equal to `rgb`.
  size_t count(uint32_t rgb) const;
  friend bool operator==(const Image&, const Image&) = default;
};

// Writes an 8-bit RGB PNG. On failure returns false and, if `error` is not
// null, a description of what went wrong.
bool savePng(const Image& img, const std::string& path,
             std::string* error = nullptr);

// ---------------------------------------------------------------------------
// A child process with captured stdout/stderr.
//
// The child gets its own process group and is killed (SIGKILL) if the test
// process dies (strictly: if the thread that started it ends, so start
// processes from the test's own thread). Output is drained continuously by a background thread, so a
// chatty child can never block on a full pipe.
class Process {
 public:
  struct Options {
    std::string path;                // absolute, relative, or looked up in PATH
    std::vector<std::string> args;   // without argv[0]
    // Environment: inherited, minus `unset`, plus/overridden by `set`.
    std::vector<std::string> unset;
    std::vector<std::pair<std::string, std::string>> set;
    std::string workdir;             // empty: inherit
    std::vector<int> keepFds;        // extra fds the child inherits as is
  };

  explicit Process(Options opts);
  ~Process();  // kills (SIGKILL to the process group) and reaps if running
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  bool ok() const { return pid_ > 0; }     // started successfully
  const std::string& error() const { return error_; }
  pid_t pid() const { return pid_; }

  // Exit code once the process has ended: its exit status, or 128 + signal
  // number if a signal ended it. nullopt if it is still running after
  // `timeout` (or was never started). Never blocks longer than `timeout`.
  std::optional<int> waitExit(Millis timeout);
  bool running();                 // not yet exited (reaps if it has)
  bool signaled() const { return termSignal_ != 0; }
  int termSignal() const { return termSignal_; }

  // Sends `sig` to the child's process group. kill() = SIGKILL + reap.
  bool signal(int sig);
  void kill();

  // Everything the child has written so far.
  std::string stderrText() const;
  std::string stdoutText() const;
  // Waits until stderr contains `needle`.
  bool waitForStderr(std::string_view needle, Millis timeout);

 private:
  void reader();
  bool reap();
  void stopReader();

  Options opts_;
  std::string error_;
  pid_t pid_ = -1;
  int pidfd_ = -1;
  std::optional<int> exitCode_;
  int termSignal_ = 0;
  int outFd_ = -1, errFd_ = -1, stopFd_ = -1, stopReadFd_ = -1;
  mutable std::mutex mu_;
  std::condition_variable eofCv_;
  bool eof_ = false;
  std::string out_, err_;
  std::thread readerThread_;
};

// ---------------------------------------------------------------------------
// A private Xvfb. The display number is chosen by Xvfb itself (-displayfd),
// so parallel test processes never race for it, and nothing depends on the
// DISPLAY of the environment.
class XServer {
 public:
  struct Options {
    int width = 1280;
    int height = 1024;
    Millis startTimeout = 15s;
    std::vector<std::string> extraArgs;  // appended to the Xvfb command line
  };

  explicit XServer(Options opts);
  XServer() : XServer(Options{}) {}
  ~XServer();  // stop()
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;

  bool ok() const { return !display_.empty() && process_ && running_; }
  const std::string& error() const { return error_; }
  const std::string& display() const { return display_; }  // ":N"
  int width() const { return opts_.width; }
  int height() const { return opts_.height; }
  pid_t pid() const { return process_ ? process_->pid() : -1; }
  // Xvfb's own messages (useful when start-up fails).
  std::string log() const { return process_ ? process_->stderrText() : ""; }

  // Terminates Xvfb (SIGTERM, then SIGKILL after `grace`) and reaps it.
  // Clients connected to it see the connection drop. Idempotent.
  void stop(Millis grace = 3s);
  bool running() const { return running_; }

 private:
  Options opts_;
  std::string error_;
  std::string display_;
  std::unique_ptr<Process> process_;
  bool running_ = false;
};

// ---------------------------------------------------------------------------
// An Xvfb plus the harness's own connection to it: window queries,
// screenshots and input.
class XSession {
 public:
  explicit XSession(XServer::Options opts);
  XSession() : XSession(XServer::Options{}) {}
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool ok() const { return server_.ok() && dpy_ != nullptr; }
  const std::string& error() const { return error_; }
  XServer& server() { return server_; }
  const XServer& server() const { return server_; }
  const std::string& display() const { return server_.display(); }
  int width() const { return server_.width(); }
  int height() const { return server_.height(); }

  // Closes the harness connection first, then stops Xvfb: for tests of
  // "the X server went away". Afterwards every query returns an empty value
  // and every action fails.
  void stopServer();

  // --- windows --------------------------------------------------------------
  struct WindowInfo {
    WindowId id = 0;
    Rect geometry;        // root-relative
    std::string name;     // _NET_WM_NAME (UTF-8), else WM_NAME
    std::string wmClass;  // "instance.Class"
    pid_t pid = 0;        // _NET_WM_PID, 0 if absent
    bool viewable = false;
  };

  // Waits until a viewable top-level window owned by `pid` (_NET_WM_PID)
  // exists. Searches the root's children and their children (frames). With
  // several, returns the lowest in stacking order (normally the first one
  // mapped); use listWindows() to see them all.
  std::optional<WindowId> findWindow(pid_t pid, Millis timeout = 10s);
  // Same, matching either part of WM_CLASS (instance or class name).
  std::optional<WindowId> findWindow(std::string_view wmClass,
                                     Millis timeout = 10s);
  // Viewable top-level windows of `pid`, in stacking order (bottom first).
  std::vector<WindowInfo> listWindows(pid_t pid);
  // Waits until `pid` has at least `count` viewable windows; returns them.
  std::vector<WindowInfo> waitForWindows(pid_t pid, size_t count,
                                         Millis timeout = 10s);
  // All windows (viewable or not) that are children of the root or of its
  // children, in stacking order.
  std::vector<WindowInfo> allWindows();

  std::optional<Rect> geometry(WindowId win);
  std::optional<std::string> windowName(WindowId win);
  std::optional<std::string> wmClass(WindowId win);  // "instance.Class"
  std::optional<WindowInfo> windowInfo(WindowId win);
  bool isViewable(WindowId win);
  // Sets the keyboard focus to `win` (there is no window manager to do it).
  ::testing::AssertionResult focus(WindowId win);

  // --- pixels ---------------------------------------------------------------
  // The whole root window; empty Image if the server is gone.
  Image screenshot();

  // --- input (XTEST through xdotool, so it looks like a real user) ----------
  ::testing::AssertionResult mouseMove(int x, int y);
  ::testing::AssertionResult click(int x, int y, int button = 1);
  ::testing::AssertionResult doubleClick(int x, int y, int button = 1);
  ::testing::AssertionResult mouseDown(int button = 1);
  ::testing::AssertionResult mouseUp(int button = 1);
  // Press at (x1,y1), move in `steps` increments to (x2,y2), release.
  ::testing::AssertionResult drag(int x1, int y1, int x2, int y2,
                                  int button = 1, int steps = 8);
  // xdotool key syntax: "Escape", "alt+F4", "ctrl+shift+Tab", "Return".
  // Several keys separated by spaces ("Down Down Return") are pressed in turn.
  // Keys go to the focused window; see focus().
  ::testing::AssertionResult key(std::string_view keys);
  ::testing::AssertionResult type(std::string_view text);
  // Any other xdotool command line, e.g. {"keydown", "super"}.
  ::testing::AssertionResult xdotool(const std::vector<std::string>& args);
  std::optional<Point> pointer();

  // Lets things calm down after input: XSync on the harness connection (the
  // server has handled every request sent so far), then waits until two
  // screenshots taken `interval` apart are identical, for at most `limit`.
  // Returns false if the screen was still changing at the limit (a blinking
  // caret or an animation does that), which is not necessarily an error.
  bool settle(Millis interval = 30ms, Millis limit = 2s);
  // Just the XSync part.
  bool sync();

 private:
  bool alive() const { return dpy_ != nullptr; }
  std::optional<WindowId> findWindowMatching(
      const std::function<bool(const WindowInfo&)>& match, Millis timeout);

  XServer server_;
  std::string error_;
  _XDisplay* dpy_ = nullptr;
};

// ---------------------------------------------------------------------------
// A program started on an X server: DISPLAY points at that server,
// SDL_VIDEODRIVER is removed, everything else is inherited.
class App : public Process {
 public:
  App(const XServer& server, std::string path,
      std::vector<std::string> args = {},
      std::vector<std::pair<std::string, std::string>> env = {});
  App(const XSession& session, std::string path,
      std::vector<std::string> args = {},
      std::vector<std::pair<std::string, std::string>> env = {})
      : App(session.server(), std::move(path), std::move(args),
            std::move(env)) {}
};

}  // namespace quillon::e2e
