#include "x_display.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace bench {
namespace {

// The environment of a child: ours, with DISPLAY replaced.
std::vector<std::string> environmentWith(const std::string& display) {
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) != 0) env.emplace_back(*e);
    if (!display.empty()) env.push_back("DISPLAY=" + display);
    return env;
}

std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> p;
    for (std::string& s : strings) p.push_back(s.data());
    p.push_back(nullptr);
    return p;
}

// execve wants a path; resolve a bare name along PATH before forking.
std::string resolve(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return name;
}

pid_t spawn(std::vector<std::string> argv, const std::string& display, int keepFd) {
    const std::string program = resolve(argv.at(0));
    std::vector<std::string> env = environmentWith(display);
    std::vector<char*> args = pointers(argv);
    std::vector<char*> envp = pointers(env);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            ::dup2(null, STDOUT_FILENO);
            if (null > STDERR_FILENO) ::close(null);
        }
        if (keepFd >= 0) ::fcntl(keepFd, F_SETFD, 0);
        ::execve(program.c_str(), args.data(), envp.data());
        ::_exit(127);
    }
    return pid;
}

}  // namespace

PrivateX::PrivateX(int width, int height) : width_(width), height_(height) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        error_ = std::string("pipe2: ") + std::strerror(errno);
        return;
    }
    pid_ = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                  std::to_string(width) + "x" + std::to_string(height) + "x24", "-noreset", "-nolisten", "tcp"},
                 "", fds[1]);
    ::close(fds[1]);
    if (pid_ < 0) {
        error_ = std::string("fork: ") + std::strerror(errno);
        ::close(fds[0]);
        return;
    }
    // Xvfb writes the number it picked and a newline once it listens.
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(10);
    while (number.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd pfd{fds[0], POLLIN, 0};
        const int r = left > 0 ? ::poll(&pfd, 1, static_cast<int>(left)) : 0;
        if (r < 0 && errno == EINTR) continue;
        char buf[32];
        const ssize_t n = r > 0 ? ::read(fds[0], buf, sizeof buf) : 0;
        if (n <= 0) {
            error_ = "Xvfb did not report a display";
            break;
        }
        number.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fds[0]);
    if (!error_.empty()) return;
    name_.assign(1, ':').append(number, 0, number.find('\n'));
    // Make sure a connection goes through before anyone relies on the server.
    for (int i = 0; i < 200; ++i) {
        if (Display* d = XOpenDisplay(name_.c_str())) {
            XCloseDisplay(d);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    error_ = "Xvfb " + name_ + " does not accept connections";
}

PrivateX::~PrivateX() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
}

pid_t launch(const std::vector<std::string>& argv, const std::string& display) { return spawn(argv, display, -1); }

Exit terminate(pid_t pid) {
    Exit e;
    ::kill(pid, SIGTERM);
    rusage usage{};
    while (::wait4(pid, &e.status, 0, &usage) < 0 && errno == EINTR) {
    }
    e.peakRssMb = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    return e;
}

int runToEnd(const std::vector<std::string>& argv, const std::string& display) {
    const pid_t pid = spawn(argv, display, -1);
    if (pid < 0) return -1;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

std::uint32_t screenPixel(Display* display, int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (!image) return 0xFFFFFFFF;
    const std::uint32_t pixel = static_cast<std::uint32_t>(XGetPixel(image, 0, 0)) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel;
}

bool waitForPixel(Display* display, int x, int y, std::uint32_t color, Clock::time_point deadline) {
    while (screenPixel(display, x, y) != color)
        if (Clock::now() > deadline) return false;
    return true;
}

bool waitWhilePixel(Display* display, int x, int y, std::uint32_t color, Clock::time_point deadline) {
    while (screenPixel(display, x, y) == color)
        if (Clock::now() > deadline) return false;
    return true;
}

}  // namespace bench
