#include "x_session.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <png.h>

#include <algorithm>
#include <atomic>
#include <bit>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quillon::e2e {

namespace {

using Clock = std::chrono::steady_clock;

std::string errnoText(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Resolves a program name the way execvp would, but in the parent so the
// child only has to call execve.
std::string resolveProgram(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return name;
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (dir.empty()) dir = ".";
    std::string candidate = dir + "/" + name;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return name;  // execve will fail with ENOENT and we report that
}

int pidfdOpen(pid_t pid) {
#ifdef SYS_pidfd_open
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
#else
  (void)pid;
  errno = ENOSYS;
  return -1;
#endif
}

// Xlib's default handlers print and exit(); the harness must survive a BadWindow
// from a window that vanished between two requests and a server that was
// stopped under it.
std::atomic<int> gLastXError{0};

int onXError(Display*, XErrorEvent* ev) {
  gLastXError = ev->error_code;
  return 0;
}
int onXIOError(Display*) { return 0; }
void onXIOErrorExit(Display*, void* lost) {
  *static_cast<std::atomic<bool>*>(lost) = true;
}

void installXHandlers() {
  static std::once_flag once;
  std::call_once(once, [] {
    XSetErrorHandler(onXError);
    XSetIOErrorHandler(onXIOError);
  });
}

// Runs `fn` and reports whether the server answered it with an error.
template <typename Fn>
bool withoutXError(Display* dpy, Fn&& fn) {
  XSync(dpy, False);
  gLastXError = 0;
  fn();
  XSync(dpy, False);
  return gLastXError == 0;
}

}  // namespace

bool waitUntil(const std::function<bool()>& pred, Millis timeout,
               Millis interval) {
  const auto deadline = Clock::now() + timeout;
  while (Clock::now() < deadline) {
    if (pred()) return true;
    auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    std::this_thread::sleep_for(std::min(interval, std::max(left, 0ms)));
  }
  return pred();
}

std::ostream& operator<<(std::ostream& os, const Rect& r) {
  return os << "{" << r.x << "," << r.y << " " << r.width << "x" << r.height
            << "}";
}
std::ostream& operator<<(std::ostream& os, const Point& p) {
  return os << "(" << p.x << "," << p.y << ")";
}

// --- Image -------------------------------------------------------------------

uint32_t Image::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width || y >= height) {
    std::ostringstream msg;
    msg << "pixel (" << x << "," << y << ") outside " << width << "x"
        << height << " image";
    throw std::out_of_range(msg.str());
  }
  return pixels[static_cast<size_t>(y) * width + x];
}

Image Image::crop(int x, int y, int w, int h) const {
  const int x0 = std::clamp(x, 0, width), y0 = std::clamp(y, 0, height);
  const int x1 = std::clamp(x + std::max(w, 0), 0, width);
  const int y1 = std::clamp(y + std::max(h, 0), 0, height);
  Image out;
  if (x1 <= x0 || y1 <= y0) return out;
  out.width = x1 - x0;
  out.height = y1 - y0;
  out.pixels.reserve(static_cast<size_t>(out.width) * out.height);
  for (int row = y0; row < y1; ++row) {
    auto begin = pixels.begin() + static_cast<ptrdiff_t>(row) * width;
    out.pixels.insert(out.pixels.end(), begin + x0, begin + x1);
  }
  return out;
}

size_t Image::count(uint32_t rgb) const {
  return static_cast<size_t>(std::count(pixels.begin(), pixels.end(), rgb));
}

namespace {

struct PngErrors {
  char message[256] = "";
};

void pngError(png_structp png, png_const_charp msg) {
  auto* errors = static_cast<PngErrors*>(png_get_error_ptr(png));
  std::snprintf(errors->message, sizeof errors->message, "%s", msg);
  png_longjmp(png, 1);
}
void pngWarning(png_structp, png_const_charp) {}

// Only trivially destructible locals here: libpng reports errors by
// longjmp-ing back into this frame.
bool writePngRows(FILE* file, const uint8_t* rgb, int w, int h,
                  PngErrors* errors) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, errors,
                                            pngError, pngWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w),
               static_cast<png_uint_32>(h), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y)
    png_write_row(png, rgb + static_cast<size_t>(y) * w * 3);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool savePng(const Image& img, const std::string& path, std::string* error) {
  auto fail = [&](std::string why) {
    if (error) *error = path + ": " + std::move(why);
    return false;
  };
  if (img.empty() || img.width <= 0 || img.height <= 0 ||
      img.pixels.size() != static_cast<size_t>(img.width) * img.height)
    return fail("empty or inconsistent image");

  std::vector<uint8_t> rgb(img.pixels.size() * 3);
  for (size_t i = 0; i < img.pixels.size(); ++i) {
    rgb[i * 3 + 0] = static_cast<uint8_t>(img.pixels[i] >> 16);
    rgb[i * 3 + 1] = static_cast<uint8_t>(img.pixels[i] >> 8);
    rgb[i * 3 + 2] = static_cast<uint8_t>(img.pixels[i]);
  }

  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return fail(std::strerror(errno));
  PngErrors errors;
  bool written = writePngRows(file, rgb.data(), img.width, img.height, &errors);
  bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    std::remove(path.c_str());
    return fail(errors.message[0] ? errors.message : "write failed");
  }
  return true;
}

// --- Process -----------------------------------------------------------------

Process::Process(Options opts) : opts_(std::move(opts)) {
  const std::string program = resolveProgram(opts_.path);

  // Everything the child needs is prepared before fork(): after it, the
  // child may only make async-signal-safe calls.
  std::vector<std::string> argStore;
  argStore.push_back(opts_.path);
  argStore.insert(argStore.end(), opts_.args.begin(), opts_.args.end());
  std::vector<char*> argv;
  for (auto& a : argStore) argv.push_back(a.data());
  argv.push_back(nullptr);

  std::vector<std::string> envStore;
  for (char** e = environ; e && *e; ++e) {
    std::string_view entry(*e);
    std::string_view name = entry.substr(0, entry.find('='));
    bool drop = std::any_of(opts_.unset.begin(), opts_.unset.end(),
                            [&](const std::string& u) { return u == name; }) ||
                std::any_of(opts_.set.begin(), opts_.set.end(),
                            [&](const auto& kv) { return kv.first == name; });
    if (!drop) envStore.emplace_back(entry);
  }
  for (auto& [k, v] : opts_.set) envStore.push_back(k + "=" + v);
  std::vector<char*> envp;
  for (auto& e : envStore) envp.push_back(e.data());
  envp.push_back(nullptr);

  int outPipe[2] = {-1, -1}, errPipe[2] = {-1, -1}, execPipe[2] = {-1, -1},
      stopPipe[2] = {-1, -1};
  if (::pipe2(outPipe, O_CLOEXEC) || ::pipe2(errPipe, O_CLOEXEC) ||
      ::pipe2(execPipe, O_CLOEXEC) || ::pipe2(stopPipe, O_CLOEXEC)) {
    error_ = errnoText("pipe2");
    for (int* p : {outPipe, errPipe, execPipe, stopPipe}) {
      closeFd(p[0]);
      closeFd(p[1]);
    }
    return;
  }

  const pid_t parent = ::getpid();
  const char* workdir = opts_.workdir.empty() ? nullptr : opts_.workdir.c_str();
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(127);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig : {SIGPIPE, SIGINT, SIGTERM, SIGCHLD, SIGHUP})
      ::signal(sig, SIG_DFL);
    int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) ::dup2(devnull, 0);
    ::dup2(outPipe[1], 1);
    ::dup2(errPipe[1], 2);
    for (int fd : opts_.keepFds) ::fcntl(fd, F_SETFD, 0);
    if (workdir && ::chdir(workdir) != 0) {
      int err = errno;
      (void)!::write(execPipe[1], &err, sizeof err);
      ::_exit(127);
    }
    ::execve(program.c_str(), argv.data(), envp.data());
    int err = errno;
    (void)!::write(execPipe[1], &err, sizeof err);
    ::_exit(127);
  }

  closeFd(outPipe[1]);
  closeFd(errPipe[1]);
  closeFd(execPipe[1]);
  if (pid < 0) {
    error_ = errnoText("fork");
    for (int fd : {outPipe[0], errPipe[0], execPipe[0], stopPipe[0],
                   stopPipe[1]})
      ::close(fd);
    return;
  }

  // The exec pipe closes on a successful execve; otherwise it carries errno.
  int childErrno = 0;
  ssize_t n;
  do {
    n = ::read(execPipe[0], &childErrno, sizeof childErrno);
  } while (n < 0 && errno == EINTR);
  closeFd(execPipe[0]);
  if (n == sizeof childErrno) {
    error_ = "cannot start " + program + ": " + std::strerror(childErrno);
    int status;
    ::waitpid(pid, &status, 0);
    for (int fd : {outPipe[0], errPipe[0], stopPipe[0], stopPipe[1]})
      ::close(fd);
    return;
  }

  pid_ = pid;
  pidfd_ = pidfdOpen(pid);
  outFd_ = outPipe[0];
  errFd_ = errPipe[0];
  stopFd_ = stopPipe[1];
  stopReadFd_ = stopPipe[0];
  readerThread_ = std::thread([this, stop = stopPipe[0]] {
    struct pollfd fds[3] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0},
                            {stop, POLLIN, 0}};
    std::string* sinks[2] = {&out_, &err_};
    int open = 2;
    char buf[8192];
    while (open > 0) {
      int r = ::poll(fds, 3, -1);
      if (r < 0) {
        if (errno == EINTR) continue;
        break;
      }
      for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
          continue;
        ssize_t got = ::read(fds[i].fd, buf, sizeof buf);
        if (got > 0) {
          std::lock_guard lock(mu_);
          sinks[i]->append(buf, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
          fds[i].fd = -1;  // poll ignores negative fds
          --open;
        }
      }
      if (fds[2].revents) break;  // the owner is going away
    }
    std::lock_guard lock(mu_);
    eof_ = true;
    eofCv_.notify_all();
  });
}

Process::~Process() {
  kill();
  stopReader();
  closeFd(pidfd_);
}

void Process::stopReader() {
  if (readerThread_.joinable()) {
    if (stopFd_ >= 0) (void)!::write(stopFd_, "x", 1);
    readerThread_.join();
  }
  closeFd(stopFd_);
  closeFd(stopReadFd_);
  closeFd(outFd_);
  closeFd(errFd_);
}

bool Process::reap() {
  if (pid_ <= 0) return false;
  if (exitCode_) return true;
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid_, &status, WNOHANG);
  } while (r < 0 && errno == EINTR);
  if (r != pid_) return false;
  if (WIFSIGNALED(status)) {
    termSignal_ = WTERMSIG(status);
    exitCode_ = 128 + termSignal_;
  } else {
    exitCode_ = WEXITSTATUS(status);
  }
  // Let the reader collect the last output so that stderrText() is complete
  // once the exit code is known. A grandchild still holding the pipes only
  // delays this by the bounded wait.
  std::unique_lock lock(mu_);
  eofCv_.wait_for(lock, 2s, [this] { return eof_; });
  return true;
}

std::optional<int> Process::waitExit(Millis timeout) {
  if (pid_ <= 0) return std::nullopt;
  const auto deadline = Clock::now() + timeout;
  while (!reap()) {
    auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    if (left <= 0ms) return std::nullopt;
    if (pidfd_ >= 0) {
      struct pollfd p = {pidfd_, POLLIN, 0};
      int r = ::poll(&p, 1, static_cast<int>(left.count()) + 1);
      if (r < 0 && errno != EINTR) std::this_thread::sleep_for(5ms);
    } else {
      std::this_thread::sleep_for(std::min(left, Millis(5)));
    }
  }
  return exitCode_;
}

bool Process::running() { return pid_ > 0 && !reap(); }

bool Process::signal(int sig) {
  if (!running()) return false;
  // The child leads its own process group, which also catches anything it
  // started itself.
  return ::kill(-pid_, sig) == 0 || ::kill(pid_, sig) == 0;
}

void Process::kill() {
  if (!running()) return;
  signal(SIGKILL);
  int status = 0;
  pid_t r;
  do {
    r = ::waitpid(pid_, &status, 0);
  } while (r < 0 && errno == EINTR);
  if (r == pid_) {
    termSignal_ = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    exitCode_ = termSignal_ ? 128 + termSignal_ : WEXITSTATUS(status);
  }
  std::unique_lock lock(mu_);
  eofCv_.wait_for(lock, 2s, [this] { return eof_; });
}

std::string Process::stderrText() const {
  std::lock_guard lock(mu_);
  return err_;
}

std::string Process::stdoutText() const {
  std::lock_guard lock(mu_);
  return out_;
}

bool Process::waitForStderr(std::string_view needle, Millis timeout) {
  return waitUntil(
      [&] { return stderrText().find(needle) != std::string::npos; }, timeout);
}

App::App(const XServer& server, std::string path, std::vector<std::string> args,
         std::vector<std::pair<std::string, std::string>> env)
    : Process([&] {
        Options o;
        o.path = std::move(path);
        o.args = std::move(args);
        o.unset = {"DISPLAY", "SDL_VIDEODRIVER"};
        o.set = std::move(env);
        o.set.emplace_back("DISPLAY", server.display());
        return o;
      }()) {}

// --- XServer -----------------------------------------------------------------

XServer::XServer(Options opts) : opts_(std::move(opts)) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) {
    error_ = errnoText("pipe2");
    return;
  }
  Process::Options p;
  p.path = "Xvfb";
  p.args = {"-displayfd", std::to_string(fds[1]),
            "-screen", "0",
            std::to_string(opts_.width) + "x" + std::to_string(opts_.height) +
                "x24",
            "-noreset", "-nolisten", "tcp"};
  p.args.insert(p.args.end(), opts_.extraArgs.begin(), opts_.extraArgs.end());
  p.unset = {"DISPLAY"};
  p.keepFds = {fds[1]};
  process_ = std::make_unique<Process>(std::move(p));
  ::close(fds[1]);
  if (!process_->ok()) {
    error_ = process_->error();
    ::close(fds[0]);
    return;
  }
  running_ = true;

  // Xvfb writes the display number it picked, then a newline.
  const auto deadline = Clock::now() + opts_.startTimeout;
  std::string number;
  while (number.find('\n') == std::string::npos) {
    auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now());
    struct pollfd pfd = {fds[0], POLLIN, 0};
    int r = left > 0ms ? ::poll(&pfd, 1, static_cast<int>(left.count())) : 0;
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) {
      error_ = "Xvfb did not report a display within the start timeout";
      break;
    }
    char buf[32];
    ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n <= 0) {
      error_ = "Xvfb exited before reporting a display";
      break;
    }
    number.append(buf, static_cast<size_t>(n));
  }
  ::close(fds[0]);
  if (!error_.empty()) {
    stop(0ms);
    error_ += "\n" + log();
    return;
  }
  display_ = ":" + number.substr(0, number.find('\n'));

  // The number is written once the server listens; make sure it also
  // completes a connection handshake before anyone relies on it.
  bool ready = waitUntil(
      [&] {
        if (!process_->running()) return true;
        Display* d = XOpenDisplay(display_.c_str());
        if (!d) return false;
        XCloseDisplay(d);
        return true;
      },
      std::chrono::duration_cast<Millis>(
          std::max(deadline - Clock::now(), Clock::duration(0))) + 100ms,
      20ms);
  if (!ready || !process_->running()) {
    error_ = ready ? "Xvfb exited during start-up"
                   : "Xvfb " + display_ + " does not accept connections";
    stop(0ms);
    error_ += "\n" + log();
    display_.clear();
  }
}

XServer::~XServer() { stop(); }

void XServer::stop(Millis grace) {
  if (!process_ || !running_) return;
  running_ = false;
  if (grace > 0ms && process_->signal(SIGTERM) && process_->waitExit(grace))
    return;
  process_->kill();
}

// --- XSession ----------------------------------------------------------------

namespace {

// Per-connection flag set by the I/O error exit handler. Kept outside the
// class so the header needs no Xlib types.
struct ConnectionState {
  std::atomic<bool> lost{false};
};

std::mutex gStatesMu;
std::vector<std::pair<Display*, std::unique_ptr<ConnectionState>>> gStates;

ConnectionState* stateFor(Display* dpy) {
  std::lock_guard lock(gStatesMu);
  for (auto& [d, s] : gStates)
    if (d == dpy) return s.get();
  return nullptr;
}

std::optional<std::string> textProperty(Display* dpy, Window win,
                                        Atom property, Atom type) {
  Atom actualType;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  if (XGetWindowProperty(dpy, win, property, 0, 1 << 16, False, type,
                         &actualType, &format, &items, &after,
                         &data) != Success ||
      !data)
    return std::nullopt;
  std::optional<std::string> out;
  if (actualType == type && format == 8)
    out = std::string(reinterpret_cast<char*>(data), items);
  XFree(data);
  return out;
}

std::optional<std::string> nameOf(Display* dpy, Window win) {
  Atom netName = XInternAtom(dpy, "_NET_WM_NAME", False);
  Atom utf8 = XInternAtom(dpy, "UTF8_STRING", False);
  if (auto name = textProperty(dpy, win, netName, utf8)) return name;
  XTextProperty prop{};
  if (!XGetWMName(dpy, win, &prop) || !prop.value) return std::nullopt;
  std::optional<std::string> out;
  char** list = nullptr;
  int count = 0;
  if (Xutf8TextPropertyToTextList(dpy, &prop, &list, &count) >= Success &&
      list) {
    std::string joined;
    for (int i = 0; i < count; ++i) joined += list[i];
    out = joined;
    XFreeStringList(list);
  } else {
    out = std::string(reinterpret_cast<char*>(prop.value), prop.nitems);
  }
  XFree(prop.value);
  return out;
}

std::optional<std::string> classOf(Display* dpy, Window win) {
  XClassHint hint{};
  if (!XGetClassHint(dpy, win, &hint)) return std::nullopt;
  std::string out = std::string(hint.res_name ? hint.res_name : "") + "." +
                    (hint.res_class ? hint.res_class : "");
  if (hint.res_name) XFree(hint.res_name);
  if (hint.res_class) XFree(hint.res_class);
  return out;
}

pid_t pidOf(Display* dpy, Window win) {
  Atom netPid = XInternAtom(dpy, "_NET_WM_PID", False);
  Atom actualType;
  int format;
  unsigned long items, after;
  unsigned char* data = nullptr;
  pid_t pid = 0;
  if (XGetWindowProperty(dpy, win, netPid, 0, 1, False, XA_CARDINAL,
                         &actualType, &format, &items, &after,
                         &data) == Success &&
      data) {
    if (actualType == XA_CARDINAL && format == 32 && items == 1)
      pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    XFree(data);
  }
  return pid;
}

std::optional<Rect> geometryOf(Display* dpy, Window win, bool* viewable) {
  XWindowAttributes attrs;
  if (!XGetWindowAttributes(dpy, win, &attrs)) return std::nullopt;
  int x = 0, y = 0;
  Window child;
  if (!XTranslateCoordinates(dpy, win, DefaultRootWindow(dpy), 0, 0, &x, &y,
                             &child))
    return std::nullopt;
  if (viewable) *viewable = attrs.map_state == IsViewable;
  return Rect{x, y, attrs.width, attrs.height};
}

int channelShift(unsigned long mask) {
  int shift = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++shift;
  }
  return shift;
}
int channelBits(unsigned long mask) {
  int bits = 0;
  for (mask >>= channelShift(mask); mask & 1; mask >>= 1) ++bits;
  return bits;
}
uint32_t channel8(unsigned long px, unsigned long mask, int shift, int bits) {
  if (!bits) return 0;
  uint32_t v = static_cast<uint32_t>((px & mask) >> shift);
  if (bits >= 8) return v >> (bits - 8);
  return (v * 255u) / ((1u << bits) - 1u);
}

}  // namespace

XSession::XSession(XServer::Options opts) : server_(std::move(opts)) {
  if (!server_.ok()) {
    error_ = server_.error();
    return;
  }
  installXHandlers();
  dpy_ = XOpenDisplay(server_.display().c_str());
  if (!dpy_) {
    error_ = "cannot connect to " + server_.display();
    return;
  }
  auto state = std::make_unique<ConnectionState>();
  XSetIOErrorExitHandler(dpy_, onXIOErrorExit, &state->lost);
  std::lock_guard lock(gStatesMu);
  gStates.emplace_back(dpy_, std::move(state));
}

XSession::~XSession() { stopServer(); }

void XSession::stopServer() {
  if (dpy_) {
    // Also fine after an I/O error: the exit handler returned, so Xlib
    // only frees the connection.
    XCloseDisplay(dpy_);
    std::lock_guard lock(gStatesMu);
    std::erase_if(gStates, [&](auto& entry) { return entry.first == dpy_; });
    dpy_ = nullptr;
  }
  server_.stop();
}

bool XSession::sync() {
  if (!alive()) return false;
  ConnectionState* state = stateFor(dpy_);
  if (state && state->lost) return false;
  XSync(dpy_, False);
  return !(state && state->lost);
}

std::vector<XSession::WindowInfo> XSession::allWindows() {
  std::vector<WindowInfo> out;
  if (!sync()) return out;
  auto describe = [&](Window w) {
    WindowInfo info;
    info.id = w;
    bool viewable = false;
    auto geo = geometryOf(dpy_, w, &viewable);
    if (!geo) return;  // gone meanwhile
    info.geometry = *geo;
    info.viewable = viewable;
    info.name = nameOf(dpy_, w).value_or("");
    info.wmClass = classOf(dpy_, w).value_or("");
    info.pid = pidOf(dpy_, w);
    out.push_back(std::move(info));
  };
  Window root = DefaultRootWindow(dpy_), parent, *children = nullptr;
  unsigned int count = 0;
  if (!XQueryTree(dpy_, root, &root, &parent, &children, &count)) return out;
  for (unsigned int i = 0; i < count; ++i) {
    describe(children[i]);
    Window r, p, *grand = nullptr;
    unsigned int n = 0;
    if (XQueryTree(dpy_, children[i], &r, &p, &grand, &n)) {
      for (unsigned int j = 0; j < n; ++j) describe(grand[j]);
      if (grand) XFree(grand);
    }
  }
  if (children) XFree(children);
  return out;
}

std::optional<WindowId> XSession::findWindowMatching(
    const std::function<bool(const WindowInfo&)>& match, Millis timeout) {
  std::optional<WindowId> found;
  waitUntil(
      [&] {
        if (!alive()) return true;
        for (const auto& w : allWindows())
          if (w.viewable && match(w)) {
            found = w.id;
            return true;
          }
        return false;
      },
      timeout, 20ms);
  return found;
}

std::optional<WindowId> XSession::findWindow(pid_t pid, Millis timeout) {
  return findWindowMatching([pid](const WindowInfo& w) { return w.pid == pid; },
                            timeout);
}

std::optional<WindowId> XSession::findWindow(std::string_view wmClass,
                                             Millis timeout) {
  return findWindowMatching(
      [wmClass](const WindowInfo& w) {
        auto dot = w.wmClass.find('.');
        if (dot == std::string::npos) return false;
        return std::string_view(w.wmClass).substr(0, dot) == wmClass ||
               std::string_view(w.wmClass).substr(dot + 1) == wmClass;
      },
      timeout);
}

std::vector<XSession::WindowInfo> XSession::listWindows(pid_t pid) {
  auto all = allWindows();
  std::erase_if(all, [pid](const WindowInfo& w) {
    return !w.viewable || w.pid != pid;
  });
  return all;
}

std::vector<XSession::WindowInfo> XSession::waitForWindows(pid_t pid,
                                                           size_t count,
                                                           Millis timeout) {
  std::vector<WindowInfo> found;
  waitUntil(
      [&] {
        found = listWindows(pid);
        return found.size() >= count || !alive();
      },
      timeout, 20ms);
  return found;
}

std::optional<Rect> XSession::geometry(WindowId win) {
  if (!sync()) return std::nullopt;
  return geometryOf(dpy_, win, nullptr);
}

std::optional<std::string> XSession::windowName(WindowId win) {
  if (!sync()) return std::nullopt;
  return nameOf(dpy_, win);
}

std::optional<std::string> XSession::wmClass(WindowId win) {
  if (!sync()) return std::nullopt;
  return classOf(dpy_, win);
}

std::optional<XSession::WindowInfo> XSession::windowInfo(WindowId win) {
  if (!sync()) return std::nullopt;
  WindowInfo info;
  info.id = win;
  auto geo = geometryOf(dpy_, win, &info.viewable);
  if (!geo) return std::nullopt;
  info.geometry = *geo;
  info.name = nameOf(dpy_, win).value_or("");
  info.wmClass = classOf(dpy_, win).value_or("");
  info.pid = pidOf(dpy_, win);
  return info;
}

bool XSession::isViewable(WindowId win) {
  auto info = windowInfo(win);
  return info && info->viewable;
}

::testing::AssertionResult XSession::focus(WindowId win) {
  if (!sync()) return ::testing::AssertionFailure() << "X server is gone";
  bool ok = withoutXError(dpy_, [&] {
    XSetInputFocus(dpy_, win, RevertToPointerRoot, CurrentTime);
  });
  if (!ok)
    return ::testing::AssertionFailure()
           << "XSetInputFocus(0x" << std::hex << win << ") failed";
  return ::testing::AssertionSuccess();
}

Image XSession::screenshot() {
  Image img;
  if (!sync()) return img;
  const int w = server_.width(), h = server_.height();
  XImage* x = nullptr;
  withoutXError(dpy_, [&] {
    x = XGetImage(dpy_, DefaultRootWindow(dpy_), 0, 0, w, h, AllPlanes,
                  ZPixmap);
  });
  if (!x) return img;
  img.width = x->width;
  img.height = x->height;
  img.pixels.resize(static_cast<size_t>(img.width) * img.height);

  const unsigned long rm = x->red_mask, gm = x->green_mask, bm = x->blue_mask;
  const int rs = channelShift(rm), gs = channelShift(gm), bs = channelShift(bm);
  const int rb = channelBits(rm), gb = channelBits(gm), bb = channelBits(bm);
  const bool direct32 = x->bits_per_pixel == 32 && x->byte_order == LSBFirst &&
                        std::endian::native == std::endian::little &&
                        rm == 0xff0000 && gm == 0x00ff00 && bm == 0x0000ff;
  for (int y = 0; y < img.height; ++y) {
    uint32_t* dst = img.pixels.data() + static_cast<size_t>(y) * img.width;
    if (direct32) {
      const char* row = x->data + static_cast<size_t>(y) * x->bytes_per_line;
      std::memcpy(dst, row, static_cast<size_t>(img.width) * 4);
      for (int i = 0; i < img.width; ++i) dst[i] &= 0xffffff;
      continue;
    }
    for (int i = 0; i < img.width; ++i) {
      unsigned long px = XGetPixel(x, i, y);
      dst[i] = channel8(px, rm, rs, rb) << 16 | channel8(px, gm, gs, gb) << 8 |
               channel8(px, bm, bs, bb);
    }
  }
  XDestroyImage(x);
  return img;
}

std::optional<Point> XSession::pointer() {
  if (!sync()) return std::nullopt;
  Window root, child;
  int rx, ry, wx, wy;
  unsigned int mask;
  if (!XQueryPointer(dpy_, DefaultRootWindow(dpy_), &root, &child, &rx, &ry,
                     &wx, &wy, &mask))
    return std::nullopt;
  return Point{rx, ry};
}

::testing::AssertionResult XSession::xdotool(
    const std::vector<std::string>& args) {
  if (!alive() || !server_.running())
    return ::testing::AssertionFailure() << "X server is gone";
  Process::Options o;
  o.path = "xdotool";
  o.args = args;
  o.set = {{"DISPLAY", server_.display()}};
  Process p(std::move(o));
  std::string cmd = "xdotool";
  for (auto& a : args) cmd += " " + a;
  if (!p.ok()) return ::testing::AssertionFailure() << cmd << ": " << p.error();
  auto code = p.waitExit(15s);
  if (!code) {
    p.kill();
    return ::testing::AssertionFailure() << cmd << ": timed out";
  }
  if (*code != 0)
    return ::testing::AssertionFailure()
           << cmd << ": exit " << *code << ": " << p.stderrText();
  sync();
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult XSession::mouseMove(int x, int y) {
  auto r = xdotool({"mousemove", std::to_string(x), std::to_string(y)});
  if (!r) return r;
  // The server clamps the pointer to the screen.
  const Point want{std::clamp(x, 0, width() - 1), std::clamp(y, 0, height() - 1)};
  if (!waitUntil([&] { return pointer() == want; }, 2s))
    return ::testing::AssertionFailure()
           << "pointer did not reach " << want << " (at "
           << pointer().value_or(Point{-1, -1}) << ")";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult XSession::click(int x, int y, int button) {
  return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click",
                  std::to_string(button)});
}

::testing::AssertionResult XSession::doubleClick(int x, int y, int button) {
  return xdotool({"mousemove", std::to_string(x), std::to_string(y), "click",
                  "--repeat", "2", "--delay", "60", std::to_string(button)});
}

::testing::AssertionResult XSession::mouseDown(int button) {
  return xdotool({"mousedown", std::to_string(button)});
}

::testing::AssertionResult XSession::mouseUp(int button) {
  return xdotool({"mouseup", std::to_string(button)});
}

::testing::AssertionResult XSession::drag(int x1, int y1, int x2, int y2,
                                          int button, int steps) {
  steps = std::max(steps, 1);
  std::vector<std::string> args = {"mousemove", std::to_string(x1),
                                   std::to_string(y1), "mousedown",
                                   std::to_string(button)};
  // A hand does not teleport: intermediate motion events, each given a moment
  // to be handled, so drag thresholds and live feedback see them.
  for (int i = 1; i <= steps; ++i) {
    args.insert(args.end(),
                {"sleep", "0.02", "mousemove",
                 std::to_string(x1 + (x2 - x1) * i / steps),
                 std::to_string(y1 + (y2 - y1) * i / steps)});
  }
  args.insert(args.end(), {"sleep", "0.02", "mouseup", std::to_string(button)});
  return xdotool(args);
}

::testing::AssertionResult XSession::key(std::string_view keys) {
  std::vector<std::string> args = {"key", "--delay", "30"};
  std::istringstream words{std::string(keys)};
  for (std::string k; words >> k;) args.push_back(k);
  if (args.size() == 3)
    return ::testing::AssertionFailure() << "key(): no key given";
  return xdotool(args);
}

::testing::AssertionResult XSession::type(std::string_view text) {
  return xdotool({"type", "--delay", "20", "--", std::string(text)});
}

bool XSession::settle(Millis interval, Millis limit) {
  if (!sync()) return false;
  const auto deadline = Clock::now() + limit;
  Image previous = screenshot();
  while (Clock::now() < deadline) {
    std::this_thread::sleep_for(interval);
    Image current = screenshot();
    if (current.empty()) return false;
    if (current == previous) return true;
    previous = std::move(current);
  }
  return false;
}

}  // namespace quillon::e2e
