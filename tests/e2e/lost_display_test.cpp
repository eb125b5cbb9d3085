// The display goes away under the running program: in each state (the desktop alone, the panel
// open, a message box up) the X server is killed, and the program must end on its own within a
// second of the server's death, say on stderr that the display is gone, and end with a non-zero
// code of its own: not hang, not be ended by a signal.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

using Clock = std::chrono::steady_clock;

// The longest the program may outlive its display.
constexpr Millis kEndsWithin = 1000ms;

enum class State { Desktop, Panel, Message };

struct StateCase {
    const char* name;
    State state;
};

void PrintTo(const StateCase& c, std::ostream* os) { *os << c.name; }

// Starts the program on the session and brings it to the state; returns what went wrong.
std::string reach(XSession& x, App& app, State state) {
    XSession::WindowInfo desktop;
    if (const ::testing::AssertionResult shown = waitForDesktop(x, app, desktop); !shown) return shown.message();
    x.settle();
    if (state == State::Desktop) return {};

    const Rect w = desktop.geometry;
    const Point icon = toScreen(w, kToolIcon);
    auto click = [&](const Rect& control) {
        const Point p = toScreen(w, middle(control));
        return x.click(p.x, p.y);
    };
    const Image before = x.screenshot().crop(w);
    if (!x.doubleClick(icon.x, icon.y)) return "double-click failed";
    if (!waitUntil([&] { return x.screenshot().crop(w) != before; }, 5s, 20ms)) return "the panel did not open";
    x.settle();
    if (state == State::Panel) return {};

    if (!click(kCheckNext)) return "click failed";
    x.settle();
    if (!click(kChoiceNext)) return "click failed";
    if (!waitUntil([&] { return x.listWindows(app.pid()).size() == 2; }, 10s, 20ms)) return "no message box";
    x.settle();
    return {};
}

class LostDisplay : public ::testing::TestWithParam<StateCase> {};

TEST_P(LostDisplay, EndsWithinASecondSayingSoWithAnErrorCode) {
    XSession x;
    ASSERT_TRUE(x.ok()) << x.error() << "\n" << x.server().log();
    App app(x, QUILLON_BINARY);
    ASSERT_TRUE(app.ok()) << app.error();
    const std::string failure = reach(x, app, GetParam().state);
    ASSERT_TRUE(failure.empty()) << failure;
    ASSERT_TRUE(app.running()) << app.stderrText();

    // SIGKILL: the server dies at once, without telling its clients anything.
    const Clock::time_point death = Clock::now();
    x.server().stop(0ms);
    const std::optional<int> code = app.waitExit(10s);
    const auto lived = std::chrono::duration_cast<Millis>(Clock::now() - death);

    ASSERT_TRUE(code.has_value()) << "still running 10 s after the display died";
    RecordProperty("ms_from_death_to_end", static_cast<int>(lived.count()));
    EXPECT_LE(lived.count(), kEndsWithin.count()) << "ms between the server's death and the program's end";
    EXPECT_FALSE(app.signaled()) << "ended by signal " << app.termSignal() << "; stderr:\n" << app.stderrText();
    EXPECT_NE(*code, 0) << app.stderrText();
    EXPECT_NE(app.stderrText().find("display"), std::string::npos) << "stderr:\n" << app.stderrText();
}

INSTANTIATE_TEST_SUITE_P(States, LostDisplay,
                         ::testing::Values(StateCase{"DesktopAlone", State::Desktop},
                                           StateCase{"PanelOpen", State::Panel},
                                           StateCase{"MessageBoxUp", State::Message}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::e2e
