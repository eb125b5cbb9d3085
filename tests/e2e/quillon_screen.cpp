#include "quillon_screen.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>
#include <system_error>
#include <vector>

#ifndef QUILLON_SCREENSHOT_DIR
#error "QUILLON_SCREENSHOT_DIR must name the screenshot folder"
#endif

namespace quillon::e2e {

namespace {

bool hasSize(const Rect& r, const Rect& size) { return r.width == size.width && r.height == size.height; }

// Whether the process has ended (it is not waited for), and what it wrote to stderr.
std::string report(XSession& x, Watched program) {
    std::ostringstream out;
    out << describeWindows(x, program.pid) << "; ";
    if (const std::optional<int> code = program.process.waitExit(0ms))
        out << "ended with " << *code;
    else
        out << "still running";
    out << "; stderr:\n" << program.process.stderrText();
    return out.str();
}

::testing::AssertionResult waitFor(XSession& x, Watched program, Shown kind, XSession::WindowInfo& found,
                                   Millis timeout, bool alone) {
    std::optional<XSession::WindowInfo> seen;
    waitUntil(
        [&] {
            const std::vector<XSession::WindowInfo> windows = x.listWindows(program.pid);
            seen.reset();
            if (alone) {
                if (windows.size() == 1 && kindOf(windows.front()) == kind) seen = windows.front();
            } else {
                for (const XSession::WindowInfo& w : windows)
                    if (kindOf(w) == kind) seen = w;
            }
            return seen.has_value();
        },
        timeout, 20ms);
    if (!seen) {
        return ::testing::AssertionFailure() << "no " << nameOf(kind) << (alone ? " as the only window" : " window")
                                             << " within " << timeout.count() << " ms; " << report(x, program);
    }
    found = *seen;
    return ::testing::AssertionSuccess();
}

}  // namespace

Shown kindOf(const XSession::WindowInfo& w) {
    if (hasSize(w.geometry, kDesktopSize)) return Shown::Desktop;
    if (hasSize(w.geometry, kCompletionSize)) return Shown::Completion;
    return Shown::Message;
}

const char* nameOf(Shown kind) {
    switch (kind) {
        case Shown::Desktop: return "desktop";
        case Shown::Completion: return "completion";
        case Shown::Message: return "message";
    }
    return "?";
}

std::string describeWindows(XSession& x, pid_t pid) {
    std::ostringstream out;
    out << "windows of pid " << pid << ":";
    const std::vector<XSession::WindowInfo> windows = x.listWindows(pid);
    if (windows.empty()) out << " none";
    for (const XSession::WindowInfo& w : windows) out << " " << nameOf(kindOf(w)) << " " << w.geometry;
    return out.str();
}

::testing::AssertionResult waitForOnly(XSession& x, Watched program, Shown kind, XSession::WindowInfo& found,
                                       Millis timeout) {
    return waitFor(x, program, kind, found, timeout, true);
}

::testing::AssertionResult waitForAny(XSession& x, Watched program, Shown kind, XSession::WindowInfo& found,
                                      Millis timeout) {
    return waitFor(x, program, kind, found, timeout, false);
}

::testing::AssertionResult startToDesktop(XSession& x, const std::string& program, std::unique_ptr<App>& app,
                                          XSession::WindowInfo& desktop, Millis timeout) {
    if (!x.ok()) return ::testing::AssertionFailure() << x.error() << "\n" << x.server().log();
    app = std::make_unique<App>(x, program);
    if (!app->ok()) return ::testing::AssertionFailure() << app->error();
    if (::testing::AssertionResult shown = waitForDesktop(x, *app, desktop, timeout); !shown) return shown;
    x.settle();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult reach(XSession& x, App& app, const XSession::WindowInfo& desktop, State state) {
    if (state == State::Desktop) return ::testing::AssertionSuccess();

    const Rect w = desktop.geometry;
    const Point icon = toScreen(w, kToolIcon);
    const Image before = x.screenshot().crop(w);
    if (!x.doubleClick(icon.x, icon.y)) return ::testing::AssertionFailure() << "double-click failed";
    if (!waitUntil([&] { return x.screenshot().crop(w) != before; }, 5s, 20ms))
        return ::testing::AssertionFailure() << "the panel did not open; " << report(x, app);
    x.settle();
    if (state == State::Panel) return ::testing::AssertionSuccess();

    for (const Rect& next : {kCheckNext, kChoiceNext}) {
        const Point p = toScreen(w, middle(next));
        if (!x.click(p.x, p.y)) return ::testing::AssertionFailure() << "click failed";
        x.settle();
    }
    XSession::WindowInfo message;
    if (::testing::AssertionResult shown = waitForAny(x, app, Shown::Message, message, 10s); !shown) return shown;
    x.settle();
    return ::testing::AssertionSuccess();
}

std::string hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb);
    return text;
}

std::string screenshotPath(const std::string& name) {
    const std::filesystem::path folder = QUILLON_SCREENSHOT_DIR;
    // A folder that cannot be made shows up as the failure to save into it.
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return (folder / name).string();
}

}  // namespace quillon::e2e
