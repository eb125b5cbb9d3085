// Idle means asleep: in each state (the desktop alone, the panel open, a message box up), once
// the program has settled and with no input and the pointer away from its windows, ten seconds
// must pass without a single tick of CPU time and without a single context switch in any of its
// threads. A timer or a polling loop would wake it, and a wake-up is a context switch.

#include <gtest/gtest.h>

#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

namespace fs = std::filesystem;

constexpr Millis kSettle = 1000ms;
constexpr Millis kWatch = 10000ms;  // what is measured is the absence of activity over this long

// What /proc says about the process: CPU time and, per thread, context switches.
struct Activity {
    long long cpuTicks = 0;                   // utime + stime of the whole process
    std::map<std::string, long long> switches;  // thread id -> voluntary + nonvoluntary
    friend bool operator==(const Activity&, const Activity&) = default;
};

std::ostream& operator<<(std::ostream& os, const Activity& a) {
    os << "cpu ticks " << a.cpuTicks << ", threads {";
    for (const auto& [tid, n] : a.switches) os << " " << tid << ": " << n << " switches";
    return os << " }";
}

std::optional<Activity> activityOf(pid_t pid) {
    Activity a;
    const fs::path proc = "/proc/" + std::to_string(pid);
    std::ifstream stat(proc / "stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto paren = text.rfind(')');
    if (paren == std::string::npos) return std::nullopt;
    // After the command's closing parenthesis: state is field 3, utime 14 and stime 15.
    std::istringstream fields(text.substr(paren + 2));
    std::string field;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14 || i == 15) a.cpuTicks += std::stoll(field);
    }
    std::error_code ec;
    for (const auto& task : fs::directory_iterator(proc / "task", ec)) {
        std::ifstream status(task.path() / "status");
        long long n = 0;
        for (std::string line; std::getline(status, line);) {
            if (line.starts_with("voluntary_ctxt_switches:") || line.starts_with("nonvoluntary_ctxt_switches:"))
                n += std::stoll(line.substr(line.find(':') + 1));
        }
        a.switches[task.path().filename().string()] = n;
    }
    if (ec || a.switches.empty()) return std::nullopt;
    return a;
}

class Idle : public ::testing::TestWithParam<StateCase> {
protected:
    static void SetUpTestSuite() { x_ = new XSession(); }
    static void TearDownTestSuite() {
        delete x_;
        x_ = nullptr;
    }
    static XSession* x_;
};

XSession* Idle::x_ = nullptr;

TEST_P(Idle, NoCpuTimeAndNoWakeUpsForTenSeconds) {
    XSession& x = *x_;
    std::unique_ptr<App> started;
    XSession::WindowInfo desktop;
    ASSERT_TRUE(startToDesktop(x, QUILLON_BINARY, started, desktop));
    App& app = *started;
    ASSERT_TRUE(reach(x, app, desktop, GetParam().state));
    // The pointer goes to the screen's far corner, outside every window of the program.
    ASSERT_TRUE(x.mouseMove(x.width() - 1, x.height() - 1));
    x.settle();
    std::this_thread::sleep_for(kSettle);

    const std::optional<Activity> before = activityOf(app.pid());
    ASSERT_TRUE(before) << "cannot read /proc for " << app.pid();
    std::this_thread::sleep_for(kWatch);
    const std::optional<Activity> after = activityOf(app.pid());
    ASSERT_TRUE(after) << "the program is gone: " << app.stderrText();
    long long switches = 0;
    for (const auto& [tid, n] : before->switches) switches += n;
    RecordProperty("threads", static_cast<int>(before->switches.size()));
    RecordProperty("switches_before_watch", static_cast<int>(switches));
    RecordProperty("cpu_ticks_before_watch", static_cast<int>(before->cpuTicks));

    EXPECT_EQ(after->cpuTicks, before->cpuTicks) << "CPU time while idle";
    EXPECT_EQ(after->switches, before->switches) << "threads woke up, or came or went, while idle\nbefore: "
                                                 << *before << "\nafter:  " << *after;
    EXPECT_TRUE(app.running());
}

INSTANTIATE_TEST_SUITE_P(States, Idle, ::testing::ValuesIn(kStates),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::e2e
