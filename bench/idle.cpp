// CPU while idle, on a private X server: the program is started, left to settle, and its CPU
// time and context switches are read over ten seconds in which nothing happens, on the desktop
// alone, with the reinstall panel open, and with a message box up. Prints figures and targets;
// judges nothing.

#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "toolkit/window.h"
#include "x_display.h"

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kWindowWidth = 999;
constexpr int kWindowHeight = 633;
constexpr auto kQuiet = std::chrono::seconds(10);

struct Usage {
    long ticks = 0;     // utime + stime, in clock ticks
    long switches = 0;  // voluntary + involuntary context switches of every thread
};

Usage usageOf(pid_t pid) {
    Usage u;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // The fields after the command name, which may hold spaces, start after the last ')'.
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 15 && rest >> field; ++i)
        if (i == 14 || i == 15) u.ticks += std::atol(field.c_str());
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.') continue;
            std::ifstream status(tasks + "/" + e->d_name + "/status");
            while (std::getline(status, line))
                if (line.find("ctxt_switches:") != std::string::npos)
                    u.switches += std::atol(line.substr(line.find(':') + 1).c_str());
        }
        closedir(dir);
    }
    return u;
}

}  // namespace

int main() {
    bench::PrivateX x(kScreenWidth, kScreenHeight);
    if (!x.ok()) {
        std::fprintf(stderr, "bench_idle: %s\n", x.error().c_str());
        return 1;
    }
    Display* probe = XOpenDisplay(x.name().c_str());
    if (!probe) {
        std::fprintf(stderr, "bench_idle: cannot open %s\n", x.name().c_str());
        return 1;
    }
    // A client point of the centred desktop, on the screen.
    const tk::Point desktop{(kScreenWidth - kWindowWidth) / 2, (kScreenHeight - kWindowHeight) / 2};
    auto onDesktop = [&](tk::Point client) { return client + tk::kClientOrigin + desktop; };
    auto xdotoolAt = [](tk::Point p) { return std::to_string(p.x) + " " + std::to_string(p.y); };

    const pid_t pid = bench::launch({QUILLON_BINARY}, x.name());
    // The taskbar's grey says the first frame is on screen.
    const tk::Point taskbar = onDesktop({500, 590});
    if (pid < 0 || !bench::waitForPixel(probe, taskbar.x, taskbar.y, 0x606060,
                                        bench::Clock::now() + std::chrono::seconds(10))) {
        std::fprintf(stderr, "bench_idle: the program showed no desktop\n");
        return 1;
    }

    std::vector<bench::Row> rows;
    auto quietSpell = [&](const char* state) {
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const Usage before = usageOf(pid);
        std::this_thread::sleep_for(kQuiet);
        const Usage after = usageOf(pid);
        rows.push_back({"idle", std::string("CPU ticks over 10 s, ") + state, double(after.ticks - before.ticks),
                        "ticks", "0"});
        rows.push_back({"idle", std::string("wake-ups over 10 s, ") + state, double(after.switches - before.switches),
                        "", "0"});
    };
    quietSpell("desktop");
    // Open the panel: a double-click on the first icon, above its grey bar.
    const std::string open =
        "xdotool mousemove " + xdotoolAt(onDesktop({40, 22})) + " click --repeat 2 --delay 60 1 mousemove 5 5";
    if (bench::runToEnd({"/bin/sh", "-c", open}, x.name()) != 0) {
        std::fprintf(stderr, "bench_idle: xdotool failed\n");
        return 1;
    }
    quietSpell("panel open");
    // Through the check page with nothing chosen: the "choose one" message comes up. The
    // points are inside the panel's tab control, which sits at (239, 126) on the desktop.
    auto clickOnPanel = [&](tk::Point local) {
        const std::string at = xdotoolAt(onDesktop(tk::Point{239, 126} + local));
        return bench::runToEnd({"/bin/sh", "-c", "xdotool mousemove " + at + " click 1 mousemove 5 5"}, x.name()) == 0;
    };
    if (!clickOnPanel({419 + 48, 282 + 16}) || !clickOnPanel({445 + 40, 290 + 16}) ||
        bench::runToEnd({"timeout", "10", "xdotool", "search", "--sync", "--name", "^信息：$"}, x.name()) != 0) {
        std::fprintf(stderr, "bench_idle: the message box did not come up\n");
        return 1;
    }
    quietSpell("message box up");
    bench::terminate(pid);
    XCloseDisplay(probe);
    bench::printTable("CPU while idle (10 s with nothing happening)", rows);
    return 0;
}
