// Quillon as an installed desktop program: CPack builds the Debian package from this build
// tree, dpkg installs it on this machine, and the tests look at what landed under /usr — the
// package's fields, the files and icon sizes, the desktop entry, the AppStream file, the man
// page — and run the installed program on a private Xvfb. The package is removed again
// afterwards, whatever happened.
//
// Needs root and a free dpkg; otherwise every case is skipped with the reason.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif
#ifndef QUILLON_SOURCE_DIR
#error "QUILLON_SOURCE_DIR must name the source tree"
#endif

namespace quillon::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPackage = "quillon";
const fs::path kPrefix = "/usr";
const fs::path kProgram = kPrefix / "bin/quillon";
const fs::path kDesktopEntry = kPrefix / "share/applications/quillon.desktop";
const fs::path kMetainfo = kPrefix / "share/metainfo/io.github.quillon.Quillon.metainfo.xml";
const fs::path kManPage = kPrefix / "share/man/man6/quillon.6";

struct Ran {
    std::optional<int> exitCode;  // nullopt: did not start or did not end in time
    std::string out, err;
    std::string describe() const {
        std::ostringstream s;
        s << "exit " << (exitCode ? std::to_string(*exitCode) : "none") << "\n--- stdout:\n"
          << out << "\n--- stderr:\n"
          << err;
        return s.str();
    }
};

Ran run(const std::string& program, std::vector<std::string> args, Millis timeout = 120s,
        std::vector<std::pair<std::string, std::string>> env = {}) {
    Process p({.path = program, .args = std::move(args), .set = std::move(env)});
    if (!p.ok()) return {std::nullopt, "", "cannot start " + program + ": " + p.error()};
    Ran r;
    r.exitCode = p.waitExit(timeout);
    r.out = p.stdoutText();
    r.err = p.stderrText();
    return r;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The version the CMake project declares, read from the top-level CMakeLists.txt.
std::string projectVersion() {
    const std::string text = readFile(fs::path(QUILLON_SOURCE_DIR) / "CMakeLists.txt");
    const std::size_t call = text.find("project(");
    if (call == std::string::npos) return "";
    std::istringstream args(text.substr(call + 8));
    std::string name, keyword, version;
    args >> name >> keyword >> version;
    if (name != "quillon" || keyword != "VERSION") return "";
    return version.substr(0, version.find_first_not_of("0123456789."));
}

// The lines of a tool's output that start with `prefix`.
std::vector<std::string> linesStartingWith(const std::string& text, const std::string& prefix) {
    std::vector<std::string> found;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (line.starts_with(prefix)) found.push_back(line);
    return found;
}

// The build tree: the nearest folder above the program that CPack was configured in.
std::optional<fs::path> buildDir() {
    for (fs::path dir = fs::path(QUILLON_BINARY).parent_path(); !dir.empty(); dir = dir.parent_path()) {
        if (fs::exists(dir / "CPackConfig.cmake")) return dir;
        if (dir == dir.root_path()) break;
    }
    return std::nullopt;
}

// Whether some process holds dpkg's lock (dpkg and apt take it with fcntl).
bool dpkgLocked() {
    for (const char* lock : {"/var/lib/dpkg/lock-frontend", "/var/lib/dpkg/lock"}) {
        const int fd = ::open(lock, O_RDWR | O_CLOEXEC);
        if (fd < 0) continue;
        struct flock probe {};
        probe.l_type = F_WRLCK;
        probe.l_whence = SEEK_SET;
        const bool held = ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
        ::close(fd);
        if (held) return true;
    }
    return false;
}

bool waitForDpkg() { return waitUntil([] { return !dpkgLocked(); }, 30s, 100ms); }

std::string packageStatus() {
    const Ran r = run("dpkg-query", {"-W", "-f=${Status}", kPackage}, 30s);
    return r.exitCode == 0 ? r.out : "";
}

// Width and height from a PNG file's IHDR chunk.
std::optional<std::pair<int, int>> pngSize(const fs::path& path) {
    const std::string bytes = readFile(path);
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return std::nullopt;
    auto be32 = [&](size_t at) {
        int v = 0;
        for (size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
        return v;
    };
    return std::pair{be32(16), be32(20)};
}

std::string collapseWhitespace(const std::string& text) {
    std::string out;
    for (char c : text) {
        const bool space = c == ' ' || c == '\n' || c == '\t';
        if (space && (out.empty() || out.back() == ' ')) continue;
        out += space ? ' ' : c;
    }
    return out;
}

class InstalledPackage : public ::testing::Test {
protected:
    // Builds the package once and installs it for every case of the suite.
    static void SetUpTestSuite() {
        version_ = projectVersion();
        if (::geteuid() != 0) {
            skipReason_ = "installing a package needs root";
            return;
        }
        if (packageStatus().find("ok installed") != std::string::npos) {
            skipReason_ = "a quillon package is already installed on this machine and this test would replace it "
                          "(dpkg -r quillon lets it run)";
            return;
        }
        const std::optional<fs::path> build = buildDir();
        if (!build) {
            setupError_ = "no CPackConfig.cmake in a folder above " QUILLON_BINARY;
            return;
        }
        char dirTemplate[] = "/tmp/quillon-package-XXXXXX";
        if (!::mkdtemp(dirTemplate)) {
            setupError_ = "mkdtemp failed";
            return;
        }
        work_ = dirTemplate;

        const Ran packed = run("cpack", {"-G", "DEB", "--config", (*build / "CPackConfig.cmake").string(), "-B",
                                         work_.string()});
        if (packed.exitCode != 0) {
            setupError_ = "cpack failed:\n" + packed.describe();
            return;
        }
        const Ran arch = run("dpkg", {"--print-architecture"}, 30s);
        std::string architecture = arch.out;
        architecture.erase(architecture.find_last_not_of("\n") + 1);
        deb_ = work_ / ("quillon_" + version_ + "_" + architecture + ".deb");
        if (!fs::exists(deb_)) {
            setupError_ = "cpack made no " + deb_.filename().string() + ":\n" + packed.describe();
            return;
        }

        if (!waitForDpkg()) {
            skipReason_ = "dpkg is busy (another process holds its lock)";
            return;
        }
        installed_ = true;  // from here on, whatever dpkg left behind is removed again
        const Ran install = run("dpkg", {"-i", deb_.string()}, 120s, {{"DEBIAN_FRONTEND", "noninteractive"}});
        if (install.exitCode != 0) {
            if (install.err.find("lock") != std::string::npos)
                skipReason_ = "dpkg is busy: " + install.err;
            else
                setupError_ = "dpkg -i failed:\n" + install.describe();
        }
    }

    static void TearDownTestSuite() {
        if (installed_) {
            installed_ = false;
            if (!waitForDpkg()) ADD_FAILURE() << "dpkg stayed busy; remove the package with: dpkg -r quillon";
            const Ran removal = run("dpkg", {"-r", kPackage}, 120s, {{"DEBIAN_FRONTEND", "noninteractive"}});
            EXPECT_EQ(removal.exitCode, 0) << "dpkg -r quillon\n" << removal.describe();
            EXPECT_FALSE(fs::exists(kProgram)) << "removing the package leaves " << kProgram;
            EXPECT_FALSE(fs::exists(kDesktopEntry)) << "removing the package leaves " << kDesktopEntry;
        }
        if (!work_.empty()) {
            std::error_code ignored;
            fs::remove_all(work_, ignored);
            work_.clear();
        }
    }

    void SetUp() override {
        if (!skipReason_.empty()) GTEST_SKIP() << skipReason_;
        ASSERT_TRUE(setupError_.empty()) << setupError_;
        ASSERT_FALSE(version_.empty()) << "no project version in " QUILLON_SOURCE_DIR "/CMakeLists.txt";
    }

    static inline std::string version_;
    static inline std::string skipReason_;
    static inline std::string setupError_;
    static inline fs::path work_;
    static inline fs::path deb_;
    static inline bool installed_ = false;
};

TEST_F(InstalledPackage, PackageCarriesItsControlFields) {
    const Ran fields = run("dpkg-deb", {"-f", deb_.string()}, 30s);
    ASSERT_EQ(fields.exitCode, 0) << fields.describe();
    auto field = [&](const std::string& name) -> std::string {
        const auto lines = linesStartingWith(fields.out, name + ": ");
        return lines.empty() ? "" : lines.front().substr(name.size() + 2);
    };
    const struct {
        const char* name;
        std::string value;
    } exact[] = {
        {"Package", "quillon"},
        {"Version", version_},
        {"Section", "games"},
    };
    for (const auto& f : exact) EXPECT_EQ(field(f.name), f.value) << f.name;
    EXPECT_NE(field("Maintainer"), "");
    EXPECT_NE(field("Description"), "");
    EXPECT_NE(fields.out.find("changes nothing on the machine"), std::string::npos)
        << "the long description says the program changes nothing\n"
        << fields.out;

    // The font packages are named; the libraries come from the binary itself.
    const std::string depends = ", " + field("Depends");
    for (const char* dependency :
         {"fonts-wqy-microhei", "fonts-arphic-uming", "libc6", "libsdl2", "libcairo2", "libpango"})
        EXPECT_NE(depends.find(std::string(", ") + dependency), std::string::npos)
            << "Depends lacks " << dependency << ": " << depends;
}

TEST_F(InstalledPackage, PackageIsInstalledWithItsFiles) {
    EXPECT_EQ(packageStatus(), "install ok installed");
    const Ran listed = run("dpkg", {"-L", kPackage}, 30s);
    ASSERT_EQ(listed.exitCode, 0) << listed.describe();
    for (const fs::path& file : {kProgram, kDesktopEntry, kMetainfo, kManPage}) {
        SCOPED_TRACE(file.string());
        EXPECT_TRUE(fs::is_regular_file(file));
        EXPECT_NE(("\n" + listed.out).find("\n" + file.string() + "\n"), std::string::npos)
            << "dpkg -L does not list it";
    }
    EXPECT_EQ(::access(kProgram.c_str(), X_OK), 0) << kProgram << " is not executable";
}

TEST_F(InstalledPackage, IconIsInstalledAtEachSize) {
    for (const int size : {16, 32, 48, 128}) {
        const std::string dim = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon = kPrefix / "share/icons/hicolor" / dim / "apps/quillon.png";
        SCOPED_TRACE(icon.string());
        ASSERT_TRUE(fs::is_regular_file(icon));
        EXPECT_EQ(pngSize(icon), (std::optional<std::pair<int, int>>{{size, size}}));
    }
}

TEST_F(InstalledPackage, DesktopEntryValidatesAndStartsTheProgram) {
    const Ran validated = run("desktop-file-validate", {kDesktopEntry.string()}, 30s);
    EXPECT_EQ(validated.exitCode, 0) << validated.describe();
    EXPECT_EQ(validated.out + validated.err, "") << "desktop-file-validate has remarks";

    const std::string entry = readFile(kDesktopEntry);
    for (const char* line : {"[Desktop Entry]", "Type=Application", "Name=Quillon", "Exec=quillon", "Icon=quillon",
                             "Categories=Game;Amusement;"})
        EXPECT_NE(("\n" + entry + "\n").find(std::string("\n") + line + "\n"), std::string::npos)
            << "no line " << line << " in\n"
            << entry;
    EXPECT_NE(entry.find("\nComment="), std::string::npos);
}

TEST_F(InstalledPackage, MetainfoValidatesWithReleaseDescriptionAndScreenshots) {
    const Ran validated = run("appstreamcli", {"validate", "--no-net", kMetainfo.string()}, 60s);
    EXPECT_EQ(validated.exitCode, 0) << validated.describe();
    EXPECT_TRUE(linesStartingWith(validated.out, "E: ").empty() && linesStartingWith(validated.out, "W: ").empty())
        << "appstreamcli reports errors or warnings\n"
        << validated.describe();

    const std::string xml = readFile(kMetainfo);
    EXPECT_NE(xml.find("<release version=\"" + version_ + "\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("<description>"), std::string::npos);
    EXPECT_NE(xml.find("<launchable type=\"desktop-id\">quillon.desktop</launchable>"), std::string::npos);
    EXPECT_TRUE(xml.find("<screenshot>") != std::string::npos || xml.find("<screenshot ") != std::string::npos)
        << "no screenshots";
}

TEST_F(InstalledPackage, ManPageRendersWithoutWarningsAndTellsHowToLeave) {
    const Ran checked = run("groff", {"-man", "-Tutf8", "-ww", "-z", kManPage.string()}, 30s);
    EXPECT_EQ(checked.exitCode, 0) << checked.describe();
    EXPECT_EQ(checked.err, "") << "groff warns";

    // Plain text (no overstriking), lines long enough that phrases are not hyphenated.
    const Ran rendered = run("groff", {"-man", "-Tutf8", "-P-cbou", "-rLL=300n", kManPage.string()}, 30s);
    ASSERT_EQ(rendered.exitCode, 0) << rendered.describe();
    const std::string text = collapseWhitespace(rendered.out);
    const std::string phrases[] = {"QUILLON(6)", "Quillon " + version_, "changes nothing on the machine",
                                   "Esc",        "the close box",      "Alt+F4"};
    for (const std::string& phrase : phrases)
        EXPECT_NE(text.find(phrase), std::string::npos) << "the man page does not say \"" << phrase << "\"\n"
                                                         << rendered.out;
}

TEST_F(InstalledPackage, InstalledProgramShowsItsWindowAndLeavesWithEscape) {
    XSession x(XServer::Options{.width = kScreenWidth, .height = kScreenHeight});
    ASSERT_TRUE(x.ok()) << x.error() << "\n" << x.server().log();
    App app(x, kProgram.string());
    ASSERT_TRUE(app.ok()) << app.error();
    // Its only window, at the desktop's size.
    XSession::WindowInfo desktop;
    ASSERT_TRUE(waitForDesktop(x, app, desktop));
    const std::optional<Rect> place = x.geometry(desktop.id);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->width, kDesktopSize.width);
    EXPECT_EQ(place->height, kDesktopSize.height);

    // The first frame is on the screen: the window's area is painted, not one flat colour.
    const auto painted = [&] {
        const Image area = x.screenshot().crop(*place);
        return !area.empty() && area.count(area.pixel(0, 0)) < area.pixels.size();
    };
    EXPECT_TRUE(waitUntil(painted, 10s)) << app.stderrText();

    ASSERT_TRUE(x.focus(desktop.id));
    ASSERT_TRUE(x.key("Escape"));
    EXPECT_EQ(app.waitExit(10s), std::optional<int>(0)) << app.stderrText();
}

}  // namespace
}  // namespace quillon::e2e
