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

class LostDisplay : public ::testing::TestWithParam<StateCase> {};

TEST_P(LostDisplay, EndsWithinASecondSayingSoWithAnErrorCode) {
    XSession x;
    std::unique_ptr<App> started;
    XSession::WindowInfo desktop;
    ASSERT_TRUE(startToDesktop(x, QUILLON_BINARY, started, desktop));
    App& app = *started;
    ASSERT_TRUE(reach(x, app, desktop, GetParam().state));
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

INSTANTIATE_TEST_SUITE_P(States, LostDisplay, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::e2e
