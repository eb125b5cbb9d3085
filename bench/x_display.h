#pragma once
// A private X server for the on-screen benchmarks, programs launched on it, and the screen
// read back one pixel at a time. Plain Xlib and POSIX: nothing here belongs to the program.

#include <X11/Xlib.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

class PrivateX {
public:
    // Starts Xvfb with one screen of the given size; it picks a free display number itself.
    PrivateX(int width, int height);
    ~PrivateX();
    PrivateX(const PrivateX&) = delete;
    PrivateX& operator=(const PrivateX&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::string& name() const { return name_; }  // ":N"
    int width() const { return width_; }
    int height() const { return height_; }

private:
    pid_t pid_ = -1;
    std::string name_;
    std::string error_;
    int width_;
    int height_;
};

// Starts a program with DISPLAY set to the display and stdout on /dev/null; returns its pid,
// or -1. Everything is prepared before fork, so the child only calls execve.
pid_t launch(const std::vector<std::string>& argv, const std::string& display);

struct Exit {
    int status = 0;
    double peakRssMb = 0;  // ru_maxrss of the process
};
// SIGTERM, then reaps the process.
Exit terminate(pid_t pid);
// Runs a program to its end and returns its wait status (-1 if it could not start).
int runToEnd(const std::vector<std::string>& argv, const std::string& display);

// A pixel of the root window, 0xRRGGBB.
std::uint32_t screenPixel(Display* display, int x, int y);
// Polls the pixel until it has the colour; false once the deadline passed.
bool waitForPixel(Display* display, int x, int y, std::uint32_t color, Clock::time_point deadline);
// Polls the pixel until it no longer has the colour; false once the deadline passed.
bool waitWhilePixel(Display* display, int x, int y, std::uint32_t color, Clock::time_point deadline);

}  // namespace bench
