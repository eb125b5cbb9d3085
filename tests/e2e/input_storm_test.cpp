// A storm of random real input on a private X server: moves, clicks, double-clicks, presses
// released elsewhere, drags on the title bars and keys, aimed mostly at the controls of
// whatever the program shows (and at the message box whenever one is up). The program is
// started again each time it ends. Every end must be a clean exit with code 0, every run's
// stderr must be free of sanitizer reports, and between bursts the program must still turn
// its event loop (it answers a _NET_WM_PING sent to its window).
//
// The seed is printed; QUILLON_STORM_SEED=<seed> sends the same input again (what the program
// shows at each moment still depends on timing, so a replay follows the same path only as far
// as the program does). QUILLON_STORM_EVENTS sets how many input events to send (20000).

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "quillon_screen.h"
#include "x_session.h"

// After GoogleTest and the harness: Xlib's macros would collide with them.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kMessageTitle = "信息：";

constexpr std::array<std::string_view, 3> kSanitizerReports = {"ERROR: AddressSanitizer", "runtime error:",
                                                               "LeakSanitizer"};

// Unlike the sizes alone, the title tells the system menu from a message box.
enum class Kind { Desktop, Completion, Message, Popup };

Kind kindOfWindow(const XSession::WindowInfo& w) {
    if (w.name == kMessageTitle) return Kind::Message;
    switch (kindOf(w)) {
        case Shown::Desktop: return Kind::Desktop;
        case Shown::Completion: return Kind::Completion;
        case Shown::Message: break;
    }
    return Kind::Popup;  // the system menu
}

// A rectangle of a window, in client (or, framed = false, outer) coordinates, and how often it
// is aimed at.
struct Spot {
    Rect r;
    int weight;
    bool client = true;
};

// The desktop's controls (client coordinates).
const std::vector<Spot>& desktopSpots() {
    static const std::vector<Spot> spots = [] {
        std::vector<Spot> s = {
            {{16, 16, 48, 16}, 30},                 // 图片框1, above the grey bar over its middle
            {{16, 96, 48, 16}, 4},                  // 图片框2
            {{0, 576, 48, 32}, 4},                  // 开始
            {{741, 96, 32, 16}, 3},                 // 标签4, the panel's close box
            {onTabs(Rect{0, 0, 249, 20}), 8},       // the three tabs
            {kCheckNext, 12},
            {kChoiceNext, 12},
            {kRestartNow, 10},
            {{230, 96, 552, 368}, 4},               // anywhere on the panel
            {{0, 0, 993, 608}, 4},                  // anywhere on the desktop
        };
        for (int row = 0; row < 7; ++row)
            for (int col = 0; col < 2; ++col) s.push_back({edition(col, row), 3});
        return s;
    }();
    return spots;
}

const std::vector<Spot>& completionSpots() {
    static const std::vector<Spot> spots = {
        {kFinishLink, 40},
        {{344, 224, 232, 72}, 3},
        {{0, 0, 927, 594}, 6},
    };
    return spots;
}

// The frame of a framed window of outer width w: caption icon, minimise and close boxes, the
// caption bar itself.
std::vector<Spot> frameSpots(int w, bool minimizeBox) {
    std::vector<Spot> s = {
        {kCaptionIcon, 5, false},
        {closeBox(w), 2, false},
        {{kFrameBorder + 24, kFrameBorder, std::max(1, w - 2 * kFrameBorder - 70), 19}, 4, false},  // caption
    };
    if (minimizeBox) s.push_back({minimiseBox(w), 3, false});
    return s;
}

// Keys, with their weights. Escape and Alt+F4 end the program from the desktop: rare enough
// that most runs last a while.
struct KeyChoice {
    const char* keys;
    int weight;
};
constexpr KeyChoice kKeys[] = {
    {"Tab", 10},   {"shift+Tab", 6}, {"Left", 5},      {"Right", 5},      {"Up", 5},      {"Down", 5},
    {"space", 10}, {"Return", 10},   {"Escape", 1},    {"alt+F4", 1},     {"alt+space", 6}, {"F4", 1},
    {"r", 2},      {"m", 3},         {"s", 2},         {"n", 3},          {"x", 2},       {"c", 1},
    {"f", 2},      {"alt+f", 2},     {"a", 1},         {"ctrl+Tab", 1},   {"KP_Enter", 2},
};

// What xdotool commands make on the server: one motion, one press or release per button and key.
// (Clicks are written as mousedown and mouseup: xdotool's click waits after every click.)
int keyEvents(std::string_view keys) { return 2 * (1 + static_cast<int>(std::count(keys.begin(), keys.end(), '+'))); }

// Runs `xdotool -` with the script on its stdin. Returns an empty string on success, else why not.
std::string runXdotoolScript(const std::string& display, const std::string& script) {
    int in[2];
    if (::pipe2(in, O_CLOEXEC) != 0) return "pipe failed";
    char errPath[] = "/tmp/quillon_storm_xdotool_XXXXXX";
    const int errFd = ::mkstemp(errPath);
    if (errFd < 0) {
        ::close(in[0]);
        ::close(in[1]);
        return "mkstemp failed";
    }
    ::unlink(errPath);
    const std::string displayVar = "DISPLAY=" + display;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(in[0], 0);
        ::dup2(errFd, 1);
        ::dup2(errFd, 2);
        ::putenv(const_cast<char*>(displayVar.c_str()));
        ::execlp("xdotool", "xdotool", "-", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(in[0]);
    if (pid < 0) {
        ::close(in[1]);
        ::close(errFd);
        return "fork failed";
    }
    // SIGPIPE would end the test if xdotool died early; the write reports it instead.
    struct sigaction ignore {}, previous{};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGPIPE, &ignore, &previous);
    std::string_view left = script;
    bool writeFailed = false;
    while (!left.empty()) {
        const ssize_t n = ::write(in[1], left.data(), left.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            writeFailed = true;
            break;
        }
        left.remove_prefix(static_cast<std::size_t>(n));
    }
    ::close(in[1]);
    ::sigaction(SIGPIPE, &previous, nullptr);

    int status = 0;
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    pid_t r = 0;
    while ((r = ::waitpid(pid, &status, WNOHANG)) == 0 && Clock::now() < deadline) ::usleep(2000);
    if (r == 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ::close(errFd);
        return "xdotool did not finish its script";
    }
    std::string output(4096, '\0');
    const ssize_t got = ::pread(errFd, output.data(), output.size(), 0);
    output.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    ::close(errFd);
    if (writeFailed || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "xdotool failed (status " + std::to_string(status) + "): " + output;
    return {};
}

// A connection of our own for what the harness does not offer: _NET_WM_PING, which SDL answers
// from inside its event pump (so an answer means the program's event loop is turning), and the
// keyboard focus.
class Prober {
public:
    explicit Prober(const std::string& display) : dpy_(XOpenDisplay(display.c_str())) {
        if (!dpy_) return;
        XSelectInput(dpy_, DefaultRootWindow(dpy_), SubstructureNotifyMask);
        protocols_ = XInternAtom(dpy_, "WM_PROTOCOLS", False);
        ping_ = XInternAtom(dpy_, "_NET_WM_PING", False);
    }
    ~Prober() {
        if (dpy_) XCloseDisplay(dpy_);
    }
    Prober(const Prober&) = delete;
    Prober& operator=(const Prober&) = delete;
    bool ok() const { return dpy_ != nullptr; }

    bool advertisesPing(WindowId w) {
        Atom* atoms = nullptr;
        int n = 0;
        bool found = false;
        if (XGetWMProtocols(dpy_, w, &atoms, &n)) {
            found = std::find(atoms, atoms + n, ping_) != atoms + n;
            XFree(atoms);
        }
        return found;
    }

    // True when the window's client answered within the limit.
    bool ping(WindowId w, Millis limit) {
        const long stamp = ++stamp_;
        XEvent e{};
        e.xclient.type = ClientMessage;
        e.xclient.window = w;
        e.xclient.message_type = protocols_;
        e.xclient.format = 32;
        e.xclient.data.l[0] = static_cast<long>(ping_);
        e.xclient.data.l[1] = stamp;
        e.xclient.data.l[2] = static_cast<long>(w);
        XSendEvent(dpy_, w, False, NoEventMask, &e);
        XFlush(dpy_);
        const auto deadline = Clock::now() + limit;
        for (;;) {
            while (XPending(dpy_)) {
                XEvent got;
                XNextEvent(dpy_, &got);
                if (got.type == ClientMessage && got.xclient.message_type == protocols_ &&
                    static_cast<Atom>(got.xclient.data.l[0]) == ping_ && got.xclient.data.l[1] == stamp)
                    return true;
            }
            if (Clock::now() >= deadline) return false;
            pollfd p{ConnectionNumber(dpy_), POLLIN, 0};
            ::poll(&p, 1, 20);
        }
    }

    WindowId focus() {
        Window w = 0;
        int revert = 0;
        XGetInputFocus(dpy_, &w, &revert);
        return w;
    }

private:
    Display* dpy_ = nullptr;
    Atom protocols_ = 0, ping_ = 0;
    long stamp_ = 1000;
};

std::uint64_t stormSeed() {
    if (const char* s = std::getenv("QUILLON_STORM_SEED"); s && *s) return std::strtoull(s, nullptr, 0);
    return (static_cast<std::uint64_t>(std::random_device{}()) << 32) ^ std::random_device{}();
}

long stormEvents() {
    if (const char* s = std::getenv("QUILLON_STORM_EVENTS"); s && *s) return std::max(1L, std::atol(s));
    return 20000;
}

// LeakSanitizer (in the sanitizer build) leaves out the one block fontconfig keeps for the
// life of the process; tests/sanitizers/lsan.supp says why. Any LSAN_OPTIONS given are kept.
std::vector<std::pair<std::string, std::string>> programEnvironment() {
    std::string options = std::string("suppressions=") + QUILLON_SOURCE_DIR + "/tests/sanitizers/lsan.supp:print_suppressions=0";
    if (const char* given = std::getenv("LSAN_OPTIONS"); given && *given) options = std::string(given) + ":" + options;
    return {{"LSAN_OPTIONS", options}};
}

std::string sanitizerReportIn(const std::string& text) {
    for (std::string_view needle : kSanitizerReports)
        if (text.find(needle) != std::string::npos) return std::string(needle);
    return {};
}

// Writes the commands of one burst.
class Composer {
public:
    explicit Composer(std::uint64_t seed) : rng_(seed) {}

    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    bool chance(int percent) { return uniform(0, 99) < percent; }

    // One burst of about `count` commands against the windows on screen (bottom first).
    std::string burst(const std::vector<XSession::WindowInfo>& windows, int screenW, int screenH, int count,
                      long& events) {
        std::ostringstream out;
        for (int made = 0; made < count;) {
            made += action(out, pickWindow(windows), screenW, screenH, events);
            out << "sleep 0.004\n";
        }
        return out.str();
    }

private:
    const XSession::WindowInfo* pickWindow(const std::vector<XSession::WindowInfo>& windows) {
        if (windows.empty()) return nullptr;
        const XSession::WindowInfo* message = nullptr;
        const XSession::WindowInfo* popup = nullptr;
        for (const auto& w : windows) {
            if (kindOfWindow(w) == Kind::Message) message = &w;
            if (kindOfWindow(w) == Kind::Popup) popup = &w;
        }
        if (message && chance(75)) return message;
        if (popup && chance(60)) return popup;
        if (chance(8)) return &windows[static_cast<std::size_t>(uniform(0, static_cast<int>(windows.size()) - 1))];
        // The topmost framed window.
        for (auto it = windows.rbegin(); it != windows.rend(); ++it)
            if (kindOfWindow(*it) != Kind::Popup) return &*it;
        return &windows.back();
    }

    Point pointIn(const Rect& r) { return {r.x + uniform(0, std::max(0, r.width - 1)), r.y + uniform(0, std::max(0, r.height - 1))}; }

    // A screen point on a spot of the window, weighted toward its controls.
    Point aim(const XSession::WindowInfo* w, int screenW, int screenH) {
        if (!w) return {uniform(0, screenW - 1), uniform(0, screenH - 1)};
        const Rect g = w->geometry;
        std::vector<Spot> spots;
        switch (kindOfWindow(*w)) {
            case Kind::Desktop:
                spots = desktopSpots();
                for (const Spot& s : frameSpots(g.width, true)) spots.push_back(s);
                break;
            case Kind::Completion:
                spots = completionSpots();
                for (const Spot& s : frameSpots(g.width, true)) spots.push_back(s);
                break;
            case Kind::Message: {
                // The OK button is centred near the bottom of the client area.
                const int cw = g.width - 2 * kFrameBorder, ch = g.height - kFrameBorder - kCaptionBottom;
                spots = {{{cw / 2 - 45, std::max(0, ch - 45), 90, 40}, 20},
                         {{0, 0, cw, ch}, 4}};
                for (const Spot& s : frameSpots(g.width, false)) spots.push_back(s);
                break;
            }
            case Kind::Popup: spots = {{{0, 0, g.width, g.height}, 1, false}}; break;
        }
        int total = 0;
        for (const Spot& s : spots) total += s.weight;
        int pick = uniform(0, total - 1);
        const Spot* chosen = &spots.front();
        for (const Spot& s : spots) {
            if (pick < s.weight) {
                chosen = &s;
                break;
            }
            pick -= s.weight;
        }
        const Point p = pointIn(chosen->r);
        const Point s = chosen->client ? toScreen(g, p) : Point{g.x + p.x, g.y + p.y};
        return {std::clamp(s.x, 0, screenW - 1), std::clamp(s.y, 0, screenH - 1)};
    }

    static void move(std::ostream& out, Point p) { out << "mousemove " << p.x << ' ' << p.y << '\n'; }

    // Writes one action; returns the number of commands written.
    int action(std::ostream& out, const XSession::WindowInfo* w, int screenW, int screenH, long& events) {
        const int roll = uniform(0, 99);
        if (roll < 30) {  // a click
            move(out, aim(w, screenW, screenH));
            out << "mousedown 1\nmouseup 1\n";
            events += 3;
            return 3;
        }
        if (roll < 40) {  // a double-click
            move(out, aim(w, screenW, screenH));
            out << "mousedown 1\nmouseup 1\nsleep 0.0" << uniform(1, 9) << "\nmousedown 1\nmouseup 1\n";
            events += 5;
            return 5;
        }
        if (roll < 50) {  // the pointer wanders
            move(out, aim(w, screenW, screenH));
            events += 1;
            return 1;
        }
        if (roll < 58) {  // pressed here, released there
            move(out, aim(w, screenW, screenH));
            out << "mousedown 1\n";
            move(out, aim(chance(70) ? w : nullptr, screenW, screenH));
            out << "mouseup 1\n";
            events += 4;
            return 4;
        }
        if (roll < 63 && w && kindOfWindow(*w) != Kind::Popup) {  // a drag on the title bar
            const Rect g = w->geometry;
            const Point grab{g.x + uniform(kFrameBorder + 24, std::max(kFrameBorder + 25, g.width - 60)),
                             g.y + uniform(kFrameBorder + 1, kFrameBorder + 17)};
            // Mostly keep the window on the screen; now and then pull it partly off.
            const int toX = chance(85) ? uniform(0, std::max(0, screenW - g.width)) : uniform(-g.width / 2, screenW - 40);
            const int toY = chance(85) ? uniform(0, std::max(0, screenH - g.height)) : uniform(-10, screenH - 40);
            const int steps = uniform(1, 6);
            move(out, grab);
            out << "mousedown 1\n";
            for (int i = 1; i <= steps; ++i) {
                move(out, {grab.x + (toX - g.x) * i / steps, grab.y + (toY - g.y) * i / steps});
                out << "sleep 0.003\n";
            }
            out << "mouseup 1\n";
            events += 3 + steps;
            return 3 + steps;
        }
        if (roll < 66) {  // another button
            move(out, aim(w, screenW, screenH));
            const int button = chance(50) ? 3 : 2;
            out << "mousedown " << button << "\nmouseup " << button << '\n';
            events += 3;
            return 3;
        }
        // A key, to whatever has the keyboard.
        int total = 0;
        for (const KeyChoice& k : kKeys) total += k.weight;
        int pick = uniform(0, total - 1);
        for (const KeyChoice& k : kKeys) {
            if (pick < k.weight) {
                out << "key --delay 1 " << k.keys << '\n';
                events += keyEvents(k.keys);
                return 1;
            }
            pick -= k.weight;
        }
        return 0;
    }

    std::mt19937_64 rng_;
};

struct RunRecord {
    pid_t pid = 0;
    std::optional<int> exitCode;  // nullopt: still running when the storm stopped
};

TEST(InputStorm, RandomInputNeverCrashesHangsOrEndsUncleanly) {
    const std::uint64_t seed = stormSeed();
    const long wanted = stormEvents();
    std::printf("input storm: seed %llu (replay with QUILLON_STORM_SEED=%llu), aiming for %ld events\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed), wanted);
    std::fflush(stdout);
    RecordProperty("seed", std::to_string(seed));

    XSession x;
    ASSERT_TRUE(x.ok()) << x.error() << "\n" << x.server().log();
    Prober prober(x.display());
    ASSERT_TRUE(prober.ok());

    Composer composer(seed);
    std::vector<RunRecord> runs;
    std::unique_ptr<App> app;
    long events = 0;
    int bursts = 0;
    bool pingChecked = false;
    const auto start = Clock::now();
    const auto sendingLimit = std::chrono::seconds(240);

    // Checks the stderr of the run that just ended (or is being left), and records it.
    // The whole stderr of the first few bad runs; a line for each one after them.
    int badRuns = 0;
    std::map<std::string, int> badKinds;
    auto finishRun = [&](std::optional<int> code) {
        const std::string err = app->stderrText();
        runs.push_back({app->pid(), code});
        const std::string report = sanitizerReportIn(err);
        if (!report.empty() || (code && *code != 0)) {
            ++badRuns;
            // Tallied by the sanitizer's summary line, so the runs not shown in full are told apart.
            const std::size_t at = err.find("SUMMARY: ");
            std::string summary = at == std::string::npos ? "no sanitizer summary" : err.substr(at, err.find('\n', at) - at);
            if (const std::size_t pid = summary.find("=="); pid != std::string::npos) summary.resize(pid);
            ++badKinds[summary + (code ? ", exit " + std::to_string(*code) : ", still running")];
        }
        const std::string shown = badRuns <= 3 ? "; stderr:\n" + err : " (stderr as above)";
        EXPECT_EQ(report, "") << "run " << runs.size() << " (pid " << app->pid() << ") reported on stderr"
                              << shown;
        if (code) {
            EXPECT_EQ(*code, 0) << "run " << runs.size() << " ended with " << *code
                                << (*code > 128 ? " (a signal)" : "") << shown;
        }
        if (!err.empty() && sanitizerReportIn(err).empty())
            std::printf("run %zu wrote to stderr:\n%s\n", runs.size(), err.c_str());
    };

    auto launch = [&]() -> bool {
        app = std::make_unique<App>(x, QUILLON_BINARY, std::vector<std::string>{}, programEnvironment());
        if (!app->ok()) {
            ADD_FAILURE() << "cannot start the program: " << app->error();
            return false;
        }
        if (!x.findWindow(app->pid(), 30s)) {
            const std::optional<int> code = app->waitExit(0ms);
            ADD_FAILURE() << "the program showed no window; " << (code ? "ended with " + std::to_string(*code) : "still running")
                          << "; stderr:\n" << app->stderrText();
            finishRun(code);
            app.reset();
            return false;
        }
        if (!pingChecked) {
            // The responsiveness probe works only if the program's windows take part in it.
            const auto windows = x.listWindows(app->pid());
            EXPECT_TRUE(!windows.empty() && prober.advertisesPing(windows.front().id))
                << "the program's window does not list _NET_WM_PING in WM_PROTOCOLS";
            pingChecked = true;
        }
        return true;
    };

    // A start that shows no window is recorded and tried again, up to a few times in all.
    int failedStarts = 0;
    if (!launch()) ++failedStarts;
    while (events < wanted && Clock::now() - start < sendingLimit && !HasFatalFailure()) {
        if (!app) {
            if (!launch() && ++failedStarts >= 5) break;
            continue;
        }
        // The program ended: record how, and start it again.
        if (const std::optional<int> code = app->waitExit(0ms)) {
            finishRun(code);
            app.reset();
            continue;
        }

        std::vector<XSession::WindowInfo> windows = x.listWindows(app->pid());
        if (windows.empty()) {
            // Between two windows (the restart loads one before the other goes), or ending.
            waitUntil([&] { return !app->running() || !x.listWindows(app->pid()).empty(); }, 10s, 20ms);
            if (!app->running()) continue;
            windows = x.listWindows(app->pid());
            if (windows.empty()) {
                ADD_FAILURE() << "burst " << bursts << ": the program runs but shows no window; stderr:\n"
                              << app->stderrText();
                finishRun(std::nullopt);
                app.reset();
                continue;
            }
        }

        // With no window manager nothing moves the keyboard on a click; hand it to the program's
        // top window when it has lost it, as a window manager would when the user clicks there.
        const WindowId focused = prober.focus();
        if (std::none_of(windows.begin(), windows.end(), [&](const auto& w) { return w.id == focused; })) {
            for (auto it = windows.rbegin(); it != windows.rend(); ++it)
                if (kindOfWindow(*it) != Kind::Popup) {
                    (void)x.focus(it->id);
                    break;
                }
        }

        const std::string script = composer.burst(windows, x.width(), x.height(), 200, events);
        const std::string failure = runXdotoolScript(x.display(), script);
        ASSERT_EQ(failure, "") << "burst " << bursts;
        ++bursts;
        x.sync();

        // Alive and turning its event loop, or ended (checked at the top of the loop).
        bool answered = false;
        for (int attempt = 0; attempt < 5 && !answered; ++attempt) {
            if (!app->running()) {
                answered = true;
                break;
            }
            const auto now = x.listWindows(app->pid());
            if (now.empty()) {
                std::this_thread::sleep_for(100ms);
                continue;
            }
            const WindowId top = now.back().id;
            if (!x.geometry(top)) continue;  // gone meanwhile
            answered = prober.ping(top, 20s);
        }
        EXPECT_TRUE(answered) << "burst " << bursts << ": the program stopped answering; windows "
                              << x.listWindows(app->pid()).size() << "; stderr:\n" << app->stderrText();
        if (!answered) break;
    }

    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    if (app) {
        // Still running: give it a moment to finish what it was doing, then end it ourselves.
        const std::optional<int> code = app->waitExit(500ms);
        finishRun(code);
        app.reset();
    }
    int clean = 0, still = 0;
    for (const RunRecord& r : runs) {
        if (!r.exitCode) ++still;
        else if (*r.exitCode == 0) ++clean;
    }
    std::printf("input storm: seed %llu, %ld input events in %d bursts over %.0f s%s; %zu runs: %d ended with 0, "
                "%zu ended otherwise, %d still running at the end\n",
                static_cast<unsigned long long>(seed), events, bursts, seconds,
                events >= wanted ? "" : Clock::now() - start >= sendingLimit ? " (stopped at the time limit)" : " (stopped early)", runs.size(), clean,
                runs.size() - clean - still, still);
    std::fflush(stdout);
    for (const auto& [kind, count] : badKinds) std::printf("input storm: %d bad runs: %s\n", count, kind.c_str());
    std::fflush(stdout);
    RecordProperty("events", std::to_string(events));
    RecordProperty("runs", std::to_string(runs.size()));
    // A storm cut short by the time limit or by failed starts proves less than it promises.
    EXPECT_GE(events, wanted) << "only " << events << " of " << wanted << " input events were sent";
}

}  // namespace
}  // namespace quillon::e2e
