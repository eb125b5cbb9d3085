// Self-test of the end-to-end harness, run against a tiny Xlib client.
//
// This file is compiled twice: with X_SESSION_PROBE_MAIN it is that client
// (x_session_probe), otherwise it is the GoogleTest suite driving it.

#ifdef X_SESSION_PROBE_MAIN

// x_session_probe: maps plain coloured windows and reports on stderr what
// reaches them, one line per event:
//   display :N | videodriver <value or unset>   at start
//   mapped <i>                                  window i became visible
//   press|release <button> <x> <y>              window-relative
//   motion <x> <y>                              with a button held
//   key <keysym> [alt] [ctrl] [shift]
// Escape exits with 27; with --exit-on-press a button press exits with
// 10 + button. Losing the X server exits non-zero (Xlib's default).

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

int main(int argc, char** argv) {
  int x = 120, y = 80, w = 200, h = 100, windows = 1;
  unsigned long color = 0x3366cc;
  std::string name = "Probe";
  bool exitOnPress = false, wmNameOnly = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto next = [&]() -> const char* { return i + 1 < argc ? argv[++i] : ""; };
    if (arg == "--geometry")
      std::sscanf(next(), "%d,%d,%d,%d", &x, &y, &w, &h);
    else if (arg == "--color")
      color = std::strtoul(next(), nullptr, 16);
    else if (arg == "--name")
      name = next();
    else if (arg == "--windows")
      windows = std::atoi(next());
    else if (arg == "--exit-on-press")
      exitOnPress = true;
    else if (arg == "--wm-name-only")
      wmNameOnly = true;
  }

  Display* dpy = XOpenDisplay(nullptr);
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  std::fprintf(stderr, "display %s | videodriver %s\n",
               dpy ? DisplayString(dpy) : "-", driver ? driver : "unset");
  if (!dpy) {
    std::fprintf(stderr, "cannot open display\n");
    return 2;
  }

  Atom netPid = XInternAtom(dpy, "_NET_WM_PID", False);
  Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
  Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  std::vector<Window> wins;
  for (int i = 0; i < windows; ++i) {
    Window win = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), x + i * 250,
                                     y, w, h, 0, 0, color);
    std::string title = windows > 1 ? name + " " + std::to_string(i + 1) : name;
    XClassHint hint{const_cast<char*>("x_session_probe"),
                    const_cast<char*>("XSessionProbe")};
    XSetClassHint(dpy, win, &hint);
    long pid = getpid();
    XChangeProperty(dpy, win, netPid, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<unsigned char*>(&pid), 1);
    if (wmNameOnly) {
      XStoreName(dpy, win, title.c_str());
    } else {
      XStoreName(dpy, win, "fallback");
      XChangeProperty(dpy, win, netName, utf8, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(title.data()),
                      static_cast<int>(title.size()));
    }
    XSelectInput(dpy, win,
                 StructureNotifyMask | ButtonPressMask | ButtonReleaseMask |
                     ButtonMotionMask | KeyPressMask);
    XMapWindow(dpy, win);
    wins.push_back(win);
  }
  XFlush(dpy);

  for (;;) {
    XEvent ev;
    XNextEvent(dpy, &ev);
    switch (ev.type) {
      case MapNotify:
        for (size_t i = 0; i < wins.size(); ++i)
          if (wins[i] == ev.xmap.window) std::fprintf(stderr, "mapped %zu\n", i);
        break;
      case ButtonPress:
        std::fprintf(stderr, "press %u %d %d\n", ev.xbutton.button,
                     ev.xbutton.x, ev.xbutton.y);
        if (exitOnPress) {
          XCloseDisplay(dpy);
          return 10 + static_cast<int>(ev.xbutton.button);
        }
        break;
      case ButtonRelease:
        std::fprintf(stderr, "release %u %d %d\n", ev.xbutton.button,
                     ev.xbutton.x, ev.xbutton.y);
        break;
      case MotionNotify:
        std::fprintf(stderr, "motion %d %d\n", ev.xmotion.x, ev.xmotion.y);
        break;
      case KeyPress: {
        KeySym sym = XLookupKeysym(&ev.xkey, 0);
        const char* symName = XKeysymToString(sym);
        std::fprintf(stderr, "key %s%s%s%s\n", symName ? symName : "?",
                     ev.xkey.state & Mod1Mask ? " alt" : "",
                     ev.xkey.state & ControlMask ? " ctrl" : "",
                     ev.xkey.state & ShiftMask ? " shift" : "");
        if (sym == XK_Escape) {
          XCloseDisplay(dpy);
          return 27;
        }
        break;
      }
    }
  }
}

#else  // the GoogleTest suite

#include "x_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace quillon::e2e {
namespace {

constexpr Rect kProbeRect{120, 80, 200, 100};
constexpr uint32_t kProbeColor = 0x3366cc;

size_t countLines(const std::string& text, std::string_view prefix) {
  size_t n = 0;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    if (std::string_view(text).substr(pos, end - pos).starts_with(prefix)) ++n;
    pos = end + 1;
  }
  return n;
}

// Sets an environment variable for the lifetime of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (old_)
      ::setenv(name_.c_str(), old_->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }

 private:
  std::string name_;
  std::optional<std::string> old_;
};

std::unique_ptr<Process> shell(const std::string& script) {
  Process::Options o;
  o.path = "/bin/sh";
  o.args = {"-c", script};
  return std::make_unique<Process>(std::move(o));
}

// --- processes -----------------------------------------------------------------

struct ExitCase {
  const char* script;
  int code;
  int signal;
  const char* out;
  const char* err;
};

class ProcessExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(ProcessExit, ReportsCodeSignalAndOutput) {
  const ExitCase& c = GetParam();
  auto p = shell(c.script);
  ASSERT_TRUE(p->ok()) << p->error();
  auto code = p->waitExit(10s);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(*code, c.code);
  EXPECT_EQ(p->termSignal(), c.signal);
  EXPECT_EQ(p->signaled(), c.signal != 0);
  EXPECT_EQ(p->stdoutText(), c.out);
  EXPECT_EQ(p->stderrText(), c.err);
  EXPECT_FALSE(p->running());
}

INSTANTIATE_TEST_SUITE_P(
    Scripts, ProcessExit,
    ::testing::Values(
        ExitCase{"echo out; echo err >&2", 0, 0, "out\n", "err\n"},
        ExitCase{"printf partial >&2; exit 3", 3, 0, "", "partial"},
        ExitCase{"echo bye; kill -TERM $$", 128 + SIGTERM, SIGTERM, "bye\n",
                 ""},
        ExitCase{"kill -KILL $$", 128 + SIGKILL, SIGKILL, "", ""}),
    [](const auto& info) { return "exit" + std::to_string(info.param.code); });

TEST(Process, WaitExitGivesUpOnARunningChildAndKillEndsIt) {
  auto p = shell("exec sleep 60");
  ASSERT_TRUE(p->ok()) << p->error();
  EXPECT_EQ(p->waitExit(50ms), std::nullopt);
  EXPECT_TRUE(p->running());
  p->kill();
  EXPECT_FALSE(p->running());
  EXPECT_EQ(p->waitExit(0ms), 128 + SIGKILL);
}

TEST(Process, DestructorKillsTheWholeProcessGroup) {
  pid_t grandchild = 0;
  {
    auto p = shell("sleep 60 & echo $! >&2; wait");
    ASSERT_TRUE(p->ok()) << p->error();
    ASSERT_TRUE(p->waitForStderr("\n", 10s));
    grandchild = std::stoi(p->stderrText());
  }
  // Killed with its group; it is not our child, so it may linger briefly as
  // a zombie until init reaps it.
  EXPECT_TRUE(waitUntil(
      [&] {
        std::ifstream stat("/proc/" + std::to_string(grandchild) + "/stat");
        std::string pid, comm, state;
        return !(stat >> pid >> comm >> state) || state == "Z";
      },
      10s));
}

TEST(Process, MissingProgramIsReportedNotFatal) {
  Process::Options o;
  o.path = "/nonexistent/x_session_no_such_program";
  Process p(std::move(o));
  EXPECT_FALSE(p.ok());
  EXPECT_NE(p.error().find("No such file"), std::string::npos) << p.error();
  EXPECT_EQ(p.waitExit(0ms), std::nullopt);
}

TEST(Process, ChattyChildNeverBlocksOnItsPipes) {
  auto p = shell("head -c 1000000 /dev/zero | tr '\\0' e >&2; "
                 "head -c 300000 /dev/zero | tr '\\0' o");
  ASSERT_TRUE(p->ok()) << p->error();
  ASSERT_EQ(p->waitExit(30s), 0);
  EXPECT_EQ(p->stderrText(), std::string(1000000, 'e'));
  EXPECT_EQ(p->stdoutText(), std::string(300000, 'o'));
}

TEST(WaitUntil, ReturnsWhetherThePredicateBecameTrue) {
  int calls = 0;
  EXPECT_TRUE(waitUntil([&] { return ++calls >= 3; }, 10s, 1ms));
  EXPECT_EQ(calls, 3);
  EXPECT_FALSE(waitUntil([] { return false; }, 20ms, 5ms));
}

// --- X server ------------------------------------------------------------------

// Holds a display number the way a running X server does: by owning its
// abstract socket. Xvfb skips such a number, so a freed display stays free
// while the claim lasts; the socket is bound but never listens, so clients
// of that display are refused. Not held if some server took the number first.
class DisplayClaim {
 public:
  explicit DisplayClaim(const std::string& display)
      : fd_(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    if (fd_ < 0) return;
    const std::string name = "/tmp/.X11-unix/X" + display.substr(1);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path + 1, name.data(), name.size());  // abstract
    const auto len = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    held_ = ::bind(fd_, reinterpret_cast<const sockaddr*>(&addr), len) == 0;
  }
  ~DisplayClaim() {
    if (fd_ >= 0) ::close(fd_);
  }
  DisplayClaim(const DisplayClaim&) = delete;
  DisplayClaim& operator=(const DisplayClaim&) = delete;
  bool held() const { return held_; }

 private:
  int fd_;
  bool held_ = false;
};

TEST(XServer, PicksFreeDisplaysOfTheRequestedSizeWhateverDisplayIsSet) {
  ScopedEnv bogus("DISPLAY", ":4242");
  auto sized = [](int w, int h) {
    XServer::Options o;
    o.width = w;
    o.height = h;
    return o;
  };
  XSession small(sized(640, 480));
  XSession large(sized(1024, 768));
  ASSERT_TRUE(small.ok()) << small.error();
  ASSERT_TRUE(large.ok()) << large.error();
  EXPECT_NE(small.display(), large.display());
  EXPECT_NE(small.display(), ":4242");
  EXPECT_EQ(small.display().rfind(':', 0), 0u);

  for (auto* x : {&small, &large}) {
    Image shot = x->screenshot();
    EXPECT_EQ(shot.width, x->width());
    EXPECT_EQ(shot.height, x->height());
  }
  EXPECT_EQ(small.screenshot().width, 640);
  EXPECT_EQ(large.screenshot().height, 768);
}

TEST(XServer, StoppedServerRefusesClients) {
  // Another test's Xvfb may take the freed display number in the instant
  // between the stop and the claim; then try again with a new server.
  for (int attempt = 0; attempt < 5; ++attempt) {
    XServer server;
    ASSERT_TRUE(server.ok()) << server.error();
    const pid_t pid = server.pid();
    server.stop();
    server.stop();  // idempotent
    EXPECT_FALSE(server.running());
    EXPECT_NE(::kill(pid, 0), 0);  // reaped, not a zombie

    DisplayClaim claim(server.display());
    if (!claim.held()) continue;
    App client(server, X_SESSION_PROBE);
    ASSERT_TRUE(client.ok()) << client.error();
    EXPECT_EQ(client.waitExit(10s), 2) << client.stderrText();
    EXPECT_NE(client.stderrText().find("cannot open display"),
              std::string::npos)
        << client.stderrText();
    return;
  }
  FAIL() << "every freed display number was taken before it could be held";
}

TEST(App, EnvironmentPointsAtTheTestServer) {
  XServer server;
  ASSERT_TRUE(server.ok()) << server.error();
  ScopedEnv display("DISPLAY", ":4242");
  ScopedEnv driver("SDL_VIDEODRIVER", "dummy");
  ScopedEnv inherited("X_SESSION_INHERITED", "kept");
  App app(server, "/bin/sh",
          {"-c",
           "echo \"$DISPLAY|${SDL_VIDEODRIVER-unset}|$X_SESSION_INHERITED|"
           "$X_SESSION_EXTRA\" >&2"},
          {{"X_SESSION_EXTRA", "added"}});
  ASSERT_TRUE(app.ok()) << app.error();
  ASSERT_EQ(app.waitExit(10s), 0);
  EXPECT_EQ(app.stderrText(), server.display() + "|unset|kept|added\n");
}

// --- windows, pixels and input ---------------------------------------------------

class Harness : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(x.ok()) << x.error(); }

  // Starts the probe and waits until its first window is visible.
  std::unique_ptr<App> probe(std::vector<std::string> args = {}) {
    auto app = std::make_unique<App>(x, X_SESSION_PROBE, std::move(args));
    EXPECT_TRUE(app->ok()) << app->error();
    EXPECT_TRUE(app->waitForStderr("mapped 0", 10s)) << app->stderrText();
    return app;
  }

  XSession x;
};

TEST_F(Harness, FindsTheWindowByPidAndByClass) {
  auto app = probe();
  auto byPid = x.findWindow(app->pid());
  ASSERT_TRUE(byPid) << app->stderrText();
  EXPECT_EQ(x.findWindow("x_session_probe"), byPid);
  EXPECT_EQ(x.findWindow("XSessionProbe"), byPid);
  EXPECT_EQ(x.geometry(*byPid), kProbeRect);
  EXPECT_EQ(x.wmClass(*byPid), "x_session_probe.XSessionProbe");
  EXPECT_TRUE(x.isViewable(*byPid));

  EXPECT_EQ(x.findWindow("no_such_class", 100ms), std::nullopt);
  EXPECT_EQ(x.findWindow(app->pid() + 100000, 100ms), std::nullopt);
}

struct NameCase {
  std::vector<std::string> args;
  const char* expected;
};

class WindowName : public Harness,
                   public ::testing::WithParamInterface<NameCase> {};

TEST_P(WindowName, PrefersUtf8NetWmNameOverWmName) {
  auto app = probe(GetParam().args);
  auto win = x.findWindow(app->pid());
  ASSERT_TRUE(win);
  EXPECT_EQ(x.windowName(*win), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Properties, WindowName,
    ::testing::Values(
        NameCase{{"--name", "Probe \xe2\x80\x93 \xe6\xb5\x8b\xe8\xaf\x95"},
                 "Probe \xe2\x80\x93 \xe6\xb5\x8b\xe8\xaf\x95"},
        NameCase{{"--name", "Only WM_NAME", "--wm-name-only"},
                 "Only WM_NAME"}),
    [](const auto& info) {
      return info.param.args.size() > 2 ? "WmNameOnly" : "NetWmName";
    });

TEST_F(Harness, ListsEveryWindowOfAProcess) {
  auto app = probe({"--windows", "2"});
  auto wins = x.waitForWindows(app->pid(), 2);
  ASSERT_EQ(wins.size(), 2u) << app->stderrText();
  std::sort(wins.begin(), wins.end(),
            [](auto& a, auto& b) { return a.geometry.x < b.geometry.x; });
  EXPECT_EQ(wins[0].geometry, kProbeRect);
  EXPECT_EQ(wins[1].geometry, (Rect{kProbeRect.x + 250, kProbeRect.y,
                                    kProbeRect.width, kProbeRect.height}));
  EXPECT_EQ(wins[0].name, "Probe 1");
  EXPECT_EQ(wins[1].name, "Probe 2");
  for (auto& w : wins) EXPECT_EQ(w.pid, app->pid());
}

struct ColorCase {
  const char* arg;
  uint32_t rgb;
  Rect rect;
};

TEST_F(Harness, ScreenshotShowsEachWindowInItsColour) {
  // Pure primaries catch a channel mix-up, the last one a scaling error.
  const std::vector<ColorCase> cases = {
      {"ff0000", 0xff0000, {10, 10, 100, 60}},
      {"00ff00", 0x00ff00, {200, 10, 100, 60}},
      {"0000ff", 0x0000ff, {10, 200, 100, 60}},
      {"3366cc", 0x3366cc, {200, 200, 100, 60}},
  };
  std::vector<std::unique_ptr<App>> apps;
  for (const auto& c : cases) {
    const Rect& r = c.rect;
    apps.push_back(probe({"--color", c.arg, "--geometry",
                          std::to_string(r.x) + "," + std::to_string(r.y) +
                              "," + std::to_string(r.width) + "," +
                              std::to_string(r.height)}));
  }
  EXPECT_TRUE(x.settle());
  Image shot = x.screenshot();
  ASSERT_EQ(shot.width, x.width());
  ASSERT_EQ(shot.height, x.height());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arg);
    const Rect& r = c.rect;
    EXPECT_EQ(shot.pixel(r.x, r.y), c.rgb);
    EXPECT_EQ(shot.pixel(r.x + r.width - 1, r.y + r.height - 1), c.rgb);
    EXPECT_NE(shot.pixel(r.x + r.width, r.y), c.rgb);
    Image part = shot.crop(r);
    EXPECT_EQ(part.width, r.width);
    EXPECT_EQ(part.height, r.height);
    EXPECT_EQ(part.count(c.rgb), static_cast<size_t>(r.width * r.height));
  }
}

TEST_F(Harness, ImageBoundsAreChecked) {
  Image shot = x.screenshot();
  ASSERT_FALSE(shot.empty());
  EXPECT_THROW(shot.pixel(-1, 0), std::out_of_range);
  EXPECT_THROW(shot.pixel(0, shot.height), std::out_of_range);
  Image corner = shot.crop(shot.width - 10, shot.height - 5, 100, 100);
  EXPECT_EQ(corner.width, 10);
  EXPECT_EQ(corner.height, 5);
  EXPECT_TRUE(shot.crop(shot.width, 0, 10, 10).empty());
}

TEST_F(Harness, SavesScreenshotsAsPng) {
  auto app = probe();
  ASSERT_TRUE(x.settle());
  Image part = x.screenshot().crop(kProbeRect);
  const std::string path = ::testing::TempDir() + "x_session_selftest.png";
  std::string error;
  ASSERT_TRUE(savePng(part, path, &error)) << error;
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n");
  // IHDR: big-endian width and height.
  auto be32 = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(bytes[at])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 2])) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3]));
  };
  EXPECT_EQ(be32(16), static_cast<uint32_t>(kProbeRect.width));
  EXPECT_EQ(be32(20), static_cast<uint32_t>(kProbeRect.height));
  std::remove(path.c_str());

  EXPECT_FALSE(savePng(part, "/nonexistent-dir/shot.png", &error));
  EXPECT_NE(error.find("No such file"), std::string::npos) << error;
  EXPECT_FALSE(savePng(Image{}, path, &error));
}

struct ClickCase {
  int button;
  int exitCode;
};

class Click : public Harness, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(Click, ReachesTheWindowUnderThePointer) {
  auto app = probe({"--exit-on-press"});
  ASSERT_TRUE(x.click(kProbeRect.x + 30, kProbeRect.y + 40, GetParam().button));
  EXPECT_EQ(app->waitExit(10s), GetParam().exitCode) << app->stderrText();
  EXPECT_NE(app->stderrText().find(
                "press " + std::to_string(GetParam().button) + " 30 40\n"),
            std::string::npos)
      << app->stderrText();
}

INSTANTIATE_TEST_SUITE_P(Buttons, Click,
                         ::testing::Values(ClickCase{1, 11}, ClickCase{2, 12},
                                           ClickCase{3, 13}),
                         [](const auto& info) {
                           return "button" + std::to_string(info.param.button);
                         });

TEST_F(Harness, DoubleClickPressesTwiceInPlace) {
  auto app = probe();
  ASSERT_TRUE(x.doubleClick(kProbeRect.x + 5, kProbeRect.y + 6));
  ASSERT_TRUE(waitUntil(
      [&] { return countLines(app->stderrText(), "release 1 5 6") == 2; }, 10s))
      << app->stderrText();
  EXPECT_EQ(countLines(app->stderrText(), "press 1 5 6"), 2u);
}

TEST_F(Harness, MoveThenPressAndReleaseSeparately) {
  auto app = probe();
  ASSERT_TRUE(x.mouseMove(kProbeRect.x + 20, kProbeRect.y + 10));
  EXPECT_EQ(x.pointer(), (Point{kProbeRect.x + 20, kProbeRect.y + 10}));
  ASSERT_TRUE(x.mouseDown(3));
  ASSERT_TRUE(app->waitForStderr("press 3 20 10\n", 10s)) << app->stderrText();
  EXPECT_EQ(app->stderrText().find("release"), std::string::npos);
  ASSERT_TRUE(x.mouseUp(3));
  EXPECT_TRUE(app->waitForStderr("release 3 20 10\n", 10s))
      << app->stderrText();
}

TEST_F(Harness, DragPressesMovesThroughAndReleases) {
  auto app = probe();
  ASSERT_TRUE(x.drag(kProbeRect.x + 10, kProbeRect.y + 10, kProbeRect.x + 180,
                     kProbeRect.y + 90));
  ASSERT_TRUE(app->waitForStderr("release 1 180 90\n", 10s))
      << app->stderrText();
  const std::string log = app->stderrText();
  const size_t press = log.find("press 1 10 10\n");
  ASSERT_NE(press, std::string::npos) << log;
  EXPECT_LT(press, log.find("release 1 180 90\n"));
  EXPECT_GE(countLines(log, "motion "), 3u) << log;
  EXPECT_EQ(x.pointer(), (Point{kProbeRect.x + 180, kProbeRect.y + 90}));
}

struct KeyCase {
  const char* keys;
  const char* logged;
};

class Keys : public Harness, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(Keys, ReachTheFocusedWindow) {
  auto app = probe();
  auto win = x.findWindow(app->pid());
  ASSERT_TRUE(win);
  ASSERT_TRUE(x.focus(*win));
  ASSERT_TRUE(x.key(GetParam().keys));
  EXPECT_TRUE(app->waitForStderr(GetParam().logged, 10s)) << app->stderrText();
  ASSERT_TRUE(x.key("Escape"));
  EXPECT_EQ(app->waitExit(10s), 27) << app->stderrText();
}

INSTANTIATE_TEST_SUITE_P(
    Combos, Keys,
    ::testing::Values(KeyCase{"alt+F4", "key F4 alt\n"},
                      KeyCase{"ctrl+a", "key a ctrl\n"},
                      KeyCase{"shift+Tab", "key Tab shift\n"},
                      KeyCase{"Return", "key Return\n"},
                      KeyCase{"Up Down", "key Up\nkey Down\n"}),
    [](const auto& info) {
      std::string name;
      for (char c : std::string(info.param.keys))
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST_F(Harness, TypeSendsEachCharacter) {
  auto app = probe();
  auto win = x.findWindow(app->pid());
  ASSERT_TRUE(win);
  ASSERT_TRUE(x.focus(*win));
  ASSERT_TRUE(x.type("hi 7"));
  EXPECT_TRUE(app->waitForStderr("key h\nkey i\nkey space\nkey 7\n", 10s))
      << app->stderrText();
}

TEST_F(Harness, StoppedServerEndsItsClientsAndTheHarnessFailsSoftly) {
  auto app = probe();
  x.stopServer();
  auto code = app->waitExit(10s);
  ASSERT_TRUE(code.has_value()) << "client still running without its server";
  EXPECT_NE(*code, 0);

  EXPECT_FALSE(x.sync());
  EXPECT_TRUE(x.screenshot().empty());
  EXPECT_EQ(x.findWindow(app->pid(), 50ms), std::nullopt);
  EXPECT_FALSE(x.click(10, 10));
  EXPECT_FALSE(x.settle());
}

TEST_F(Harness, ServerDyingUnderTheHarnessDoesNotEndTheTestProgram) {
  auto app = probe();
  x.server().stop();  // no orderly disconnect first
  EXPECT_FALSE(x.sync());
  EXPECT_TRUE(x.screenshot().empty());
  EXPECT_FALSE(x.geometry(1));
  EXPECT_FALSE(x.key("Escape"));
  EXPECT_TRUE(app->waitExit(10s).has_value());
}

}  // namespace
}  // namespace quillon::e2e

#endif
