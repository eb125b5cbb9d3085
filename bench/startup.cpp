// Start-up on a private X server: from fork to the first frame on screen, the program
// against the floor (a bare window that paints one colour and one line of text), with the
// peak resident memory of each. Prints figures and targets; judges nothing.

#include <cstdio>
#include <string>
#include <vector>

#include "bench_support.h"
#include "x_display.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kWindowWidth = 999;
constexpr int kWindowHeight = 633;
constexpr int kWarmUps = 2;
constexpr int kRounds = 15;
constexpr std::uint32_t kGrey = 0x606060;

struct Subject {
    const char* label;
    std::string path;
    int x;  // a screen pixel painted 0x606060 in the first frame
    int y;
    std::vector<double> ms;
    std::vector<double> rssMb;
};

// One launch: the time from fork to the pixel, then the process is ended and reaped.
bool measure(Display* probe, const std::string& display, Subject& s, bool keep) {
    using namespace std::chrono;
    // The last run's window must be gone, or its pixel would answer for this one.
    if (!bench::waitWhilePixel(probe, s.x, s.y, kGrey, bench::Clock::now() + seconds(5))) {
        std::fprintf(stderr, "bench_startup: the screen still shows the last window\n");
        return false;
    }
    const auto start = bench::Clock::now();
    const pid_t pid = bench::launch({s.path}, display);
    if (pid < 0) {
        std::fprintf(stderr, "bench_startup: cannot start %s\n", s.path.c_str());
        return false;
    }
    const bool shown = bench::waitForPixel(probe, s.x, s.y, kGrey, start + seconds(10));
    const auto end = bench::Clock::now();
    const bench::Exit exit = bench::terminate(pid);
    if (!shown) {
        std::fprintf(stderr, "bench_startup: %s showed no first frame within 10 s (wait status %d)\n", s.label,
                     exit.status);
        return false;
    }
    if (keep) {
        s.ms.push_back(duration<double, std::milli>(end - start).count());
        s.rssMb.push_back(exit.peakRssMb);
    }
    return true;
}

}  // namespace

int main() {
    bench::PrivateX server(kScreenWidth, kScreenHeight);
    if (!server.ok()) {
        std::fprintf(stderr, "bench_startup: %s\n", server.error().c_str());
        return 1;
    }
    // The probe connects before any launch, so its own start-up is never part of a figure.
    Display* probe = XOpenDisplay(server.name().c_str());
    if (!probe) {
        std::fprintf(stderr, "bench_startup: cannot connect to %s\n", server.name().c_str());
        return 1;
    }

    const int left = (kScreenWidth - kWindowWidth) / 2;
    const int top = (kScreenHeight - kWindowHeight) / 2;
    // The program's taskbar: client (500, 590), outer (503, 612) under a 3-pixel border and a
    // 19-pixel caption. The floor is one colour throughout; a pixel far from its text will do.
    Subject program{"quillon", QUILLON_BINARY, left + 503, top + 612, {}, {}};
    Subject floor{"floor", QUILLON_FLOOR_BINARY, left + 500, top + 600, {}, {}};

    for (int i = 0; i < kWarmUps + kRounds; ++i) {
        const bool keep = i >= kWarmUps;
        if (!measure(probe, server.name(), program, keep) || !measure(probe, server.name(), floor, keep)) {
            XCloseDisplay(probe);
            return 1;
        }
    }
    XCloseDisplay(probe);

    const double programMedian = bench::median(program.ms);
    const double floorMedian = bench::median(floor.ms);
    const std::string b = "startup";
    bench::printTable("Start-up on Xvfb 1280x1024, fork to first frame (" + std::to_string(kRounds) +
                          " rounds each, alternating, after " + std::to_string(kWarmUps) + " warm-ups)",
                      {
                          {b, "quillon median", programMedian, "ms", ""},
                          {b, "quillon min", bench::minimum(program.ms), "ms", ""},
                          {b, "floor median", floorMedian, "ms", ""},
                          {b, "floor min", bench::minimum(floor.ms), "ms", ""},
                          {b, "ratio quillon/floor (medians)", floorMedian > 0 ? programMedian / floorMedian : 0, "x",
                           "<= 1.15"},
                          {b, "quillon peak RSS median", bench::median(program.rssMb), "MB", "<= 28"},
                          {b, "floor peak RSS median", bench::median(floor.rssMb), "MB", ""},
                      });
    return 0;
}
