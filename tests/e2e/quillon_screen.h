// What the end-to-end suites know about the program on the screen: the sizes and frame of its
// windows, where its controls lie, and waiting for its windows to show.
//
// Positions are in client coordinates of their window unless said otherwise; toScreen() turns
// them into screen coordinates. A control given as a rectangle is clicked at its middle().
#pragma once

#include <cstdint>
#include <memory>
#include <ostream>
#include <string>

#include <sys/types.h>

#include "x_session.h"

namespace quillon::e2e {

// The private X server the suites start (the harness's default size); the program centres its
// windows on it.
inline constexpr int kScreenWidth = 1280;
inline constexpr int kScreenHeight = 1024;

// Outer sizes of the program's windows (x and y stay zero).
inline constexpr Rect kDesktopSize{0, 0, 999, 633};
inline constexpr Rect kCompletionSize{0, 0, 933, 619};
// The desktop window's caption, as the window manager reads it.
inline constexpr const char* kDesktopCaption = "Merrowind——此软件是给小白使用的，大神勿喷";

// Where the program places a window of that size on the suites' screen.
constexpr Rect centred(const Rect& size) {
    return {(kScreenWidth - size.width) / 2, (kScreenHeight - size.height) / 2, size.width, size.height};
}

constexpr Point middle(const Rect& r) { return {r.x + r.width / 2, r.y + r.height / 2}; }

// The toolkit's own frame: a 3-pixel border around a caption bar that ends 22 pixels below the
// outer corner, where the client area starts.
inline constexpr int kFrameBorder = 3;
inline constexpr int kCaptionBottom = 22;

// A client point of the window at `window` (its outer rectangle on the screen), on the screen.
constexpr Point toScreen(const Rect& window, Point client) {
    return {window.x + kFrameBorder + client.x, window.y + kCaptionBottom + client.y};
}

// The caption's icon, which opens the system menu, and the boxes of a window of that outer
// width, in outer coordinates.
inline constexpr Rect kCaptionIcon{kFrameBorder + 2, kFrameBorder + 1, 16, 16};
constexpr Rect closeBox(int outerWidth) { return {outerWidth - kFrameBorder - 2 - 16, kFrameBorder + 2, 16, 14}; }
constexpr Rect minimiseBox(int outerWidth) {
    const Rect close = closeBox(outerWidth);
    return {close.x - 18, close.y, 16, 14};
}

// The desktop's first icon, 图片框1, at a point above the grey bar 标签10 over its middle.
inline constexpr Point kToolIcon{40, 22};

// The panel's controls lie on its tab control.
inline constexpr Point kTabControl{239, 126};
constexpr Point onTabs(Point p) { return {kTabControl.x + p.x, kTabControl.y + p.y}; }
constexpr Rect onTabs(Rect r) { return {kTabControl.x + r.x, kTabControl.y + r.y, r.width, r.height}; }

inline constexpr Rect kCheckNext = onTabs(Rect{419, 282, 96, 32});    // 标签5, the check page's 下一步
inline constexpr Rect kChoiceNext = onTabs(Rect{445, 290, 80, 32});   // 标签6, the edition page's 下一步
inline constexpr Rect kRestartNow = onTabs(Rect{401, 274, 104, 40});  // 标签7, the installation page's 立即重启
// The edition page's fourteen radio buttons with their labels: two columns of seven rows.
constexpr Rect edition(int column, int row) { return onTabs(Rect{column ? 248 : 16, 40 + 40 * row, 184, 32}); }

// The completion window's finish link, 标签3.
inline constexpr Rect kFinishLink{770, 572, 160, 16};

// ---------------------------------------------------------------------------
// The program's windows, told apart by their outer sizes: anything neither desktop nor
// completion window is a message box (or, while open, the system menu).
enum class Shown { Desktop, Completion, Message };
Shown kindOf(const XSession::WindowInfo& w);
const char* nameOf(Shown kind);

// Whose windows to wait for, and the process a failure reports on (whether it ended, its
// stderr): the program itself, or a tracer it runs under.
struct Watched {
    Watched(Process& program) : pid(program.pid()), process(program) {}
    Watched(pid_t windowsOf, Process& reporter) : pid(windowsOf), process(reporter) {}
    pid_t pid;
    Process& process;
};

// For failure messages: the viewable windows of `pid`, bottom first, with their kinds and sizes.
std::string describeWindows(XSession& x, pid_t pid);

// Waits until the program shows exactly one window, of that kind, and stores it in `found`.
::testing::AssertionResult waitForOnly(XSession& x, Watched program, Shown kind, XSession::WindowInfo& found,
                                       Millis timeout = 15s);
// Waits until one of the program's windows is of that kind; stores the topmost in `found`.
::testing::AssertionResult waitForAny(XSession& x, Watched program, Shown kind, XSession::WindowInfo& found,
                                      Millis timeout = 15s);
// The desktop a freshly started program shows.
inline ::testing::AssertionResult waitForDesktop(XSession& x, Watched program, XSession::WindowInfo& found,
                                                 Millis timeout = 15s) {
    return waitForOnly(x, program, Shown::Desktop, found, timeout);
}

// Starts `program` on the session, waits for its desktop as its only window and lets the
// screen settle; `app` owns the started process whatever the outcome.
::testing::AssertionResult startToDesktop(XSession& x, const std::string& program, std::unique_ptr<App>& app,
                                          XSession::WindowInfo& desktop, Millis timeout = 15s);

// The states the program rests in between inputs, for suites that watch it while it rests.
enum class State { Desktop, Panel, Message };
struct StateCase {
    const char* name;
    State state;
};
inline void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }
inline constexpr StateCase kStates[] = {
    {"DesktopAlone", State::Desktop}, {"PanelOpen", State::Panel}, {"MessageBoxUp", State::Message}};
// Brings the program, whose desktop is up and settled, into the state: the panel opened by a
// double-click on the first icon, then the "choose one" message by going on without a choice.
::testing::AssertionResult reach(XSession& x, App& app, const XSession::WindowInfo& desktop, State state);

// For messages: a pixel as 0xRRGGBB.
std::string hex(uint32_t rgb);

// Where the suites keep their screenshots: `name` in the build's screenshot folder, which is
// made if missing.
std::string screenshotPath(const std::string& name);

}  // namespace quillon::e2e
