// Zero footprint: a whole pass of the real program under strace, on a private X server, with
// HOME pointed at an empty folder. The pass is the one that touches the most: the desktop, the
// panel, choosing nothing (the first message), the restart, the finish link, the damaged-system
// message and the end with 0. Then the trace must show that the program opened nothing for
// writing, created, removed or changed no file, connected to the X server and nowhere else,
// reached no D-Bus, started no process (threads only), and left HOME as empty as it found it.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <cstdlib>
#include <stdlib.h>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

namespace fs = std::filesystem;

// The system calls that could leave a trace on the machine or reach beyond the X server.
constexpr std::string_view kTraced =
    "open,openat,openat2,creat,mkdir,mkdirat,rmdir,unlink,unlinkat,rename,renameat,renameat2,"
    "link,linkat,symlink,symlinkat,truncate,ftruncate,chmod,fchmod,fchmodat,chown,fchown,lchown,"
    "fchownat,mknod,mknodat,utimensat,socket,connect,bind,sendto,execve,execveat,fork,vfork,"
    "clone,clone3";

// Calls that change the file system whatever their arguments.
const std::set<std::string, std::less<>> kChanging = {
    "creat",  "mkdir",   "mkdirat", "rmdir",  "unlink",   "unlinkat", "rename", "renameat",  "renameat2",
    "link",   "linkat",  "symlink", "symlinkat", "truncate", "ftruncate", "chmod", "fchmod", "fchmodat",
    "chown",  "fchown",  "lchown",  "fchownat", "mknod",  "mknodat",  "utimensat"};

// One system call as strace wrote it, an interrupted call joined with its resumption.
struct Call {
    double time = 0;     // seconds, as strace -ttt stamps it
    std::string thread;  // the file strace wrote it to: one per thread and process
    std::string name;
    std::string args;    // everything between the parentheses, as printed
    std::string result;  // after " = "
    std::string line;    // for messages
};

std::ostream& operator<<(std::ostream& os, const Call& c) { return os << "[" << c.thread << "] " << c.line; }

// Reads the files of `strace -ff -ttt -o prefix`: prefix.<tid>, one per thread, and puts the
// calls of all threads in the order they were made. A line reads "<seconds> <name>(<args>) =
// <result>"; signals and exits ("--- ...", "+++ ...") are no calls.
std::vector<Call> readTrace(const fs::path& folder) {
    constexpr std::string_view unfinished = " <unfinished ...>";
    constexpr std::string_view resumed = " resumed>";
    std::vector<Call> calls;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path());
        const std::string thread = entry.path().extension().string().substr(1);
        std::string line, pending;
        while (std::getline(in, line)) {
            const auto space = line.find(' ');
            if (space == std::string::npos) continue;
            std::string rest = line.substr(space + 1);
            if (rest.starts_with("<... ") && rest.find(resumed) != std::string::npos) {
                if (pending.empty()) continue;
                rest = pending + rest.substr(rest.find(resumed) + resumed.size());
                pending.clear();
            }
            if (rest.ends_with(unfinished)) {
                pending = rest.substr(0, rest.size() - unfinished.size());
                continue;
            }
            const auto open = rest.find('(');
            const auto close = rest.rfind(") = ");
            if (open == std::string::npos || close == std::string::npos || close < open) continue;
            const std::string name = rest.substr(0, open);
            if (name.empty() || name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789_") != std::string::npos)
                continue;
            calls.push_back({std::stod(line.substr(0, space)), thread, name, rest.substr(open + 1, close - open - 1),
                             rest.substr(close + 4), line});
        }
    }
    std::stable_sort(calls.begin(), calls.end(), [](const Call& a, const Call& b) { return a.time < b.time; });
    return calls;
}

// The first quoted argument: the path of open, openat, execve and the like.
std::string firstPath(const std::string& args) {
    const auto open = args.find('"');
    if (open == std::string::npos) return {};
    const auto close = args.find('"', open + 1);
    return args.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
}

bool hasFlag(const std::string& text, std::string_view flag) {
    for (auto at = text.find(flag); at != std::string::npos; at = text.find(flag, at + 1)) {
        const auto end = at + flag.size();
        const bool leftOk = at == 0 || !(std::isalnum(static_cast<unsigned char>(text[at - 1])) || text[at - 1] == '_');
        const bool rightOk =
            end == text.size() || !(std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_');
        if (leftOk && rightOk) return true;
    }
    return false;
}

class Footprint : public ::testing::Test {
protected:
    // One traced pass for the suite; every test reads its own promise off the same trace.
    static void SetUpTestSuite() {
        pass_ = new Pass();
        pass_->run();
    }
    static void TearDownTestSuite() {
        delete pass_;
        pass_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(pass_->failure.empty()) << pass_->failure;
        ASSERT_FALSE(pass_->calls.empty()) << "strace wrote nothing";
    }

    struct Pass {
        fs::path root;  // a temporary folder holding home/ and trace/
        std::string display;
        std::string failure;  // why the pass could not be driven to its end
        std::optional<int> exitCode;
        std::string stderrText;
        std::vector<Call> calls;
        std::vector<std::string> homeAfter;  // what HOME holds after the pass

        Pass() {
            std::string templ = (fs::temp_directory_path() / "quillon-footprint.XXXXXX").string();
            if (::mkdtemp(templ.data())) root = templ;
        }
        ~Pass() {
            std::error_code ec;
            if (!root.empty()) fs::remove_all(root, ec);
        }
        fs::path home() const { return root / "home"; }
        fs::path trace() const { return root / "trace"; }

        void run() {
            if (root.empty()) {
                failure = "cannot make a temporary folder";
                return;
            }
            fs::create_directories(home());
            fs::create_directories(trace());
            XSession x;
            if (!x.ok()) {
                failure = x.error() + "\n" + x.server().log();
                return;
            }
            display = x.display();
            Process::Options o;
            o.path = "strace";
            o.args = {"-ff", "-ttt", "-qq", "-s", "4096", "--seccomp-bpf", "-o", (trace() / "t").string(),
                      "-e", "trace=" + std::string(kTraced), QUILLON_BINARY};
            // Nothing may point the libraries anywhere but the empty HOME.
            o.unset = {"DISPLAY",         "SDL_VIDEODRIVER", "XAUTHORITY",     "XDG_CONFIG_HOME",
                       "XDG_CACHE_HOME",  "XDG_DATA_HOME",   "XDG_STATE_HOME", "XDG_RUNTIME_DIR",
                       "DBUS_SESSION_BUS_ADDRESS", "DBUS_SYSTEM_BUS_ADDRESS"};
            o.set = {{"DISPLAY", x.display()}, {"HOME", home().string()}};
            // In the sanitizer build, LeakSanitizer's check at the end stops the world through
            // ptrace from a helper process, which cannot work under strace and is no part of the
            // program; the other suites check for leaks.
            const char* asan = std::getenv("ASAN_OPTIONS");
            o.set.emplace_back("ASAN_OPTIONS", std::string(asan ? asan : "") + (asan && *asan ? ":" : "") +
                                                   "detect_leaks=0");
            Process traced(o);
            if (!traced.ok()) {
                failure = "cannot start strace: " + traced.error();
                return;
            }
            failure = drive(x, traced);
            exitCode = traced.waitExit(10s);
            stderrText = traced.stderrText();
            if (!exitCode) failure += "\nthe program did not end; stderr:\n" + stderrText;
            traced.kill();
            calls = readTrace(trace());
            for (const auto& entry : fs::recursive_directory_iterator(home()))
                homeAfter.push_back(fs::relative(entry.path(), home()).string());
        }

        // The pass, by real input. Returns what went wrong, or nothing.
        static std::string drive(XSession& x, Process& traced) {
            const std::optional<WindowId> first = x.findWindow(std::string_view("Quillon"), 20s);
            if (!first) return "no window; stderr:\n" + traced.stderrText();
            const std::optional<XSession::WindowInfo> info = x.windowInfo(*first);
            if (!info || info->pid <= 0) return "the window names no process";
            // The program runs under strace: its windows carry its own pid, strace has its stderr.
            const Watched program(info->pid, traced);
            XSession::WindowInfo window;  // the one worked on
            auto only = [&](Shown kind, const std::string& what) {
                const ::testing::AssertionResult shown = waitForOnly(x, program, kind, window);
                return shown ? std::string() : what + ": " + shown.message();
            };
            auto withMessage = [&](const std::string& what) {
                XSession::WindowInfo box;
                const ::testing::AssertionResult shown = waitForAny(x, program, Shown::Message, box);
                return shown ? std::string() : what + ": " + shown.message();
            };
            auto click = [&](const Rect& control) {
                const Point p = toScreen(window.geometry, middle(control));
                const bool ok = x.click(p.x, p.y);
                x.settle();
                return ok;
            };

            if (std::string why = only(Shown::Desktop, "no desktop"); !why.empty()) return why;
            x.settle();
            const Point icon = toScreen(window.geometry, kToolIcon);
            if (!x.doubleClick(icon.x, icon.y)) return "double-click failed";
            x.settle();
            if (!click(kCheckNext) || !click(kChoiceNext)) return "clicks on the panel failed";
            if (std::string why = withMessage("no message after choosing nothing"); !why.empty()) return why;
            if (!x.key("Return")) return "Return failed";
            if (std::string why = only(Shown::Desktop, "the first message stayed"); !why.empty()) return why;
            x.settle();
            if (!click(kRestartNow)) return "restart click failed";
            if (std::string why = only(Shown::Completion, "no completion window"); !why.empty()) return why;
            x.settle();
            if (!click(kFinishLink)) return "finish click failed";
            if (std::string why = withMessage("no damaged-system message"); !why.empty()) return why;
            if (!x.key("Return")) return "Return failed";
            return {};
        }
    };

    static const std::vector<Call>& calls() { return pass_->calls; }
    static Pass* pass_;
};

Footprint::Pass* Footprint::pass_ = nullptr;

TEST_F(Footprint, WholePassEndsWithZero) {
    EXPECT_EQ(pass_->exitCode, std::optional<int>(0)) << pass_->stderrText;
    // The trace holds the program's own start, so the checks below look at the real thing.
    bool started = false;
    for (const Call& c : calls())
        started |= c.name == "execve" && firstPath(c.args) == QUILLON_BINARY && c.result.starts_with("0");
    EXPECT_TRUE(started) << "the trace does not show the program starting";
}

TEST_F(Footprint, OpensNoFileForWriting) {
    for (const Call& c : calls()) {
        if (c.name != "open" && c.name != "openat" && c.name != "openat2") continue;
        for (std::string_view flag : {"O_WRONLY", "O_RDWR", "O_CREAT", "O_TRUNC", "O_APPEND", "O_TMPFILE"})
            EXPECT_FALSE(hasFlag(c.args, flag)) << flag << " in " << c;
    }
}

TEST_F(Footprint, CreatesRemovesOrChangesNoFile) {
    for (const Call& c : calls()) EXPECT_FALSE(kChanging.contains(c.name)) << c;
}

TEST_F(Footprint, ConnectsToTheXServerAlone) {
    const std::string number = pass_->display.substr(pass_->display.find(':') + 1);
    const std::set<std::string> xSockets = {"sun_path=@\"/tmp/.X11-unix/X" + number + "\"",
                                            "sun_path=\"/tmp/.X11-unix/X" + number + "\""};
    int toX = 0;
    for (const Call& c : calls()) {
        if (c.name == "socket") {
            EXPECT_TRUE(c.args.starts_with("AF_UNIX,")) << "a socket other than a local one: " << c;
        } else if (c.name == "connect") {
            bool x = false;
            for (const std::string& path : xSockets) x |= c.args.find(path) != std::string::npos;
            EXPECT_TRUE(x) << "a connection to something but the X server " << pass_->display << ": " << c;
            toX += x;
        } else if (c.name == "bind") {
            ADD_FAILURE() << "listens on a socket: " << c;
        } else if (c.name == "sendto") {
            // Sending on the connected X socket names no address; anything else goes elsewhere.
            EXPECT_TRUE(c.args.find(", NULL, 0") != std::string::npos) << "sends to an address: " << c;
        }
    }
    EXPECT_GT(toX, 0) << "the trace shows no connection to the X server at all";
}

TEST_F(Footprint, NothingReachesDBus) {
    for (const Call& c : calls()) {
        if (c.name == "connect" || c.name == "execve" || c.name == "execveat" || c.name == "socket") {
            EXPECT_EQ(c.args.find("dbus"), std::string::npos) << c;
        }
    }
}

TEST_F(Footprint, StartsNoProcessOnlyThreads) {
    int execs = 0, threads = 0;
    for (const Call& c : calls()) {
        if (c.name == "execve" || c.name == "execveat") {
            ++execs;
            EXPECT_EQ(execs, 1) << "a program started after the first: " << c;
            EXPECT_EQ(firstPath(c.args), QUILLON_BINARY) << c;
        } else if (c.name == "fork" || c.name == "vfork") {
            ADD_FAILURE() << "a new process: " << c;
        } else if (c.name == "clone" || c.name == "clone3") {
            EXPECT_TRUE(hasFlag(c.args, "CLONE_THREAD")) << "a new process: " << c;
            threads += hasFlag(c.args, "CLONE_THREAD");
        }
    }
    // The picture decoding and the font loading run on threads: the trace must have seen them.
    EXPECT_GT(threads, 0) << "no thread traced; is the trace complete?";
}

TEST_F(Footprint, LeavesHomeEmpty) {
    EXPECT_EQ(pass_->homeAfter, std::vector<std::string>{}) << "written under HOME";
}

TEST_F(Footprint, ReadsNothingOfTheUsersButTheDisplayAndFontSettings) {
    // The display library looks for the X authority file and the font library for the user's
    // font settings; they are absent here. Nothing else under HOME may be looked at.
    const std::string home = pass_->home().string() + "/";
    const std::vector<std::string> allowed = {".Xauthority",       ".fonts.conf",        ".fonts",
                                              ".fontconfig",       ".config/fontconfig", ".local/share/fonts",
                                              ".cache/fontconfig"};
    auto isAllowed = [&](const std::string& relative) {
        for (const std::string& a : allowed)
            if (relative == a || relative.starts_with(a + "/")) return true;
        return false;
    };
    for (const Call& c : calls()) {
        if (c.name != "open" && c.name != "openat" && c.name != "openat2") continue;
        const std::string path = firstPath(c.args);
        if (!path.starts_with(home)) continue;
        EXPECT_TRUE(isAllowed(path.substr(home.size()))) << "opens a file of the user's: " << c;
        EXPECT_TRUE(c.result.starts_with("-1")) << "HOME is empty, yet this was found: " << c;
    }
}

}  // namespace
}  // namespace quillon::e2e
