// The real program under a real window manager (openbox, on a private Xvfb): the window keeps
// its centred place, tells the window manager who it is (class, UTF-8 caption, icons in
// several sizes), gets no frame or title bar from the window manager, and its own minimise
// box and title bar work through the window manager.

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "quillon_screen.h"
#include "x_session.h"

// Xlib last: its macros (None, Bool, Status...) must not reach the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

// On the program's own caption bar, window-relative.
constexpr Point kTitleBarGrip{300, 12};

// ICCCM WM_STATE values.
constexpr long kNormalState = 1;
constexpr long kIconicState = 3;

bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        const size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path candidate = std::filesystem::path(dirs.substr(start, end - start)) / program;
        if (::access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// A second connection to the private server, for the window properties the harness does not
// read. X errors go to the harness's handler, which reports them instead of ending the test.
class Properties {
public:
    explicit Properties(const std::string& display) : dpy_(XOpenDisplay(display.c_str())) {}
    ~Properties() {
        if (dpy_) XCloseDisplay(dpy_);
    }
    Properties(const Properties&) = delete;
    Properties& operator=(const Properties&) = delete;

    bool ok() const { return dpy_ != nullptr; }
    WindowId root() const { return DefaultRootWindow(dpy_); }

    // A property of 32-bit items (CARDINAL, WINDOW, ATOM, WM_STATE...) of any type; nullopt if
    // the window does not carry it.
    std::optional<std::vector<long>> longs(WindowId win, const char* name) {
        std::optional<std::vector<long>> result;
        raw(win, name, [&](Atom, int format, unsigned long count, unsigned char* data) {
            if (format != 32) return;
            const long* items = reinterpret_cast<const long*>(data);
            result.emplace(items, items + count);
        });
        return result;
    }

    // A UTF8_STRING property; nullopt if absent or of another type.
    std::optional<std::string> utf8(WindowId win, const char* name) {
        std::optional<std::string> result;
        const Atom utf8String = atom("UTF8_STRING");
        raw(win, name, [&](Atom type, int format, unsigned long count, unsigned char* data) {
            if (type == utf8String && format == 8) result.emplace(reinterpret_cast<const char*>(data), count);
        });
        return result;
    }

    // The names of the atoms in an ATOM list property (such as _NET_WM_STATE).
    std::vector<std::string> atomNames(WindowId win, const char* name) {
        std::vector<std::string> names;
        for (long a : longs(win, name).value_or(std::vector<long>{})) {
            char* text = XGetAtomName(dpy_, static_cast<Atom>(a));
            if (text) {
                names.emplace_back(text);
                XFree(text);
            }
        }
        return names;
    }

    std::optional<WindowId> parent(WindowId win) {
        ::Window rootWin = 0, parentWin = 0;
        ::Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(dpy_, win, &rootWin, &parentWin, &children, &count)) return std::nullopt;
        if (children) XFree(children);
        return parentWin;
    }

private:
    Atom atom(const char* name) { return XInternAtom(dpy_, name, False); }

    template <typename Fn>
    void raw(WindowId win, const char* name, Fn&& use) {
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        const int status = XGetWindowProperty(dpy_, win, atom(name), 0, 1L << 24, False, AnyPropertyType, &type,
                                              &format, &count, &after, &data);
        if (status == Success && data && type != 0) use(type, format, count, data);
        if (data) XFree(data);
    }

    Display* dpy_;
};

// A private Xvfb with openbox managing it, and the program started under it.
class UnderWindowManager : public ::testing::Test {
protected:
    UnderWindowManager() : x_(XServer::Options{.width = kScreenWidth, .height = kScreenHeight}) {}

    void SetUp() override {
        ASSERT_TRUE(onPath("openbox")) << "openbox is not installed (scripts/deps test installs it)";
        ASSERT_TRUE(x_.ok()) << x_.error() << "\n" << x_.server().log();
        props_ = std::make_unique<Properties>(x_.display());
        ASSERT_TRUE(props_->ok()) << "cannot open " << x_.display();

        // openbox with the system's default configuration: a private, empty configuration
        // home keeps the developer's own settings out of the test.
        char dirTemplate[] = "/tmp/quillon-openbox-XXXXXX";
        ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
        home_ = dirTemplate;
        wm_ = std::make_unique<App>(x_, "openbox", std::vector<std::string>{"--sm-disable"},
                                    std::vector<std::pair<std::string, std::string>>{
                                        {"XDG_CONFIG_HOME", home_ + "/config"},
                                        {"XDG_CACHE_HOME", home_ + "/cache"},
                                        {"XDG_DATA_HOME", home_ + "/data"},
                                    });
        ASSERT_TRUE(wm_->ok()) << wm_->error();
        // A window manager announces itself on the root window once it manages the screen.
        ASSERT_TRUE(waitUntil([&] { return props_->longs(props_->root(), "_NET_SUPPORTING_WM_CHECK").has_value(); },
                              15s))
            << "openbox did not take over the screen; its stderr:\n"
            << wm_->stderrText();

        XSession::WindowInfo desktop;
        ASSERT_TRUE(startToDesktop(x_, QUILLON_BINARY, app_, desktop)) << "\nwindows on the display:\n"
                                                        << describeDisplay() << "openbox stderr:\n"
                                                        << wm_->stderrText();
        win_ = desktop.id;
        // Managed: the window manager has set the ICCCM state of the mapped window.
        ASSERT_TRUE(waitUntil([&] { return wmState() == kNormalState; }, 10s))
            << "openbox did not manage the window; openbox stderr:\n"
            << wm_->stderrText();
        x_.settle();
    }

    void TearDown() override {
        app_.reset();
        wm_.reset();
        if (!home_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(home_, ignored);
        }
    }

    std::string describeDisplay() {
        std::ostringstream out;
        for (const XSession::WindowInfo& w : x_.allWindows())
            out << "  " << w.id << " " << w.geometry << " pid " << w.pid << " class \"" << w.wmClass << "\" "
                << (w.viewable ? "viewable" : "not viewable") << "\n";
        return out.str();
    }

    std::optional<long> wmState() {
        const auto state = props_->longs(win_, "WM_STATE");
        if (!state || state->empty()) return std::nullopt;
        return state->front();
    }

    Rect expectedPlace() const { return centred(kDesktopSize); }

    XSession x_;
    std::unique_ptr<Properties> props_;
    std::string home_;
    std::unique_ptr<App> wm_;
    std::unique_ptr<App> app_;
    WindowId win_ = 0;
};

TEST_F(UnderWindowManager, WindowKeepsItsCentredPlace) {
    EXPECT_EQ(x_.geometry(win_), std::optional<Rect>(expectedPlace()));
    EXPECT_TRUE(x_.isViewable(win_));
}

TEST_F(UnderWindowManager, WindowManagerLearnsClassCaptionAndIcons) {
    EXPECT_EQ(x_.wmClass(win_), std::optional<std::string>("quillon.Quillon"));
    EXPECT_EQ(props_->utf8(win_, "_NET_WM_NAME"), std::optional<std::string>(kDesktopCaption));

    // _NET_WM_ICON: width, height, then width * height ARGB pixels, for each size in turn.
    const std::optional<std::vector<long>> icon = props_->longs(win_, "_NET_WM_ICON");
    ASSERT_TRUE(icon) << "the window carries no _NET_WM_ICON";
    std::map<long, size_t> opaquePixelsBySize;
    for (size_t at = 0; at + 2 <= icon->size();) {
        const long w = (*icon)[at], h = (*icon)[at + 1];
        ASSERT_GT(w, 0);
        ASSERT_EQ(w, h) << "icon entries are square";
        ASSERT_LE(at + 2 + static_cast<size_t>(w * h), icon->size()) << "icon of " << w << " pixels is cut short";
        const auto first = icon->begin() + static_cast<long>(at + 2);
        opaquePixelsBySize[w] = static_cast<size_t>(std::count_if(
            first, first + w * h, [](long argb) { return ((static_cast<unsigned long>(argb) >> 24) & 0xFF) == 0xFF; }));
        at += 2 + static_cast<size_t>(w * h);
    }
    for (const long size : {16L, 32L}) {
        SCOPED_TRACE("icon of " + std::to_string(size) + " pixels");
        ASSERT_TRUE(opaquePixelsBySize.contains(size));
        EXPECT_GT(opaquePixelsBySize[size], 0u) << "the icon is fully transparent";
    }
}

TEST_F(UnderWindowManager, WindowManagerAddsNoFrameOrTitleBar) {
    const std::optional<std::vector<long>> extents = props_->longs(win_, "_NET_FRAME_EXTENTS");
    ASSERT_TRUE(extents) << "openbox sets _NET_FRAME_EXTENTS on every window it manages";
    EXPECT_EQ(*extents, (std::vector<long>{0, 0, 0, 0})) << "left, right, top, bottom";

    // Reparenting is fine as long as the window manager's frame is exactly our window.
    const std::optional<WindowId> parent = props_->parent(win_);
    ASSERT_TRUE(parent);
    if (*parent != props_->root()) {
        EXPECT_EQ(x_.geometry(*parent), x_.geometry(win_));
    }
    EXPECT_EQ(x_.geometry(win_), std::optional<Rect>(expectedPlace()));
}

TEST_F(UnderWindowManager, OwnMinimiseBoxIconifiesAndTheProgramKeepsRunning) {
    const Rect place = expectedPlace();
    const Point box = middle(minimiseBox(place.width));
    ASSERT_TRUE(x_.click(place.x + box.x, place.y + box.y));
    const auto iconic = [&] {
        const std::vector<std::string> states = props_->atomNames(win_, "_NET_WM_STATE");
        return wmState() == kIconicState ||
               std::find(states.begin(), states.end(), "_NET_WM_STATE_HIDDEN") != states.end();
    };
    EXPECT_TRUE(waitUntil(iconic, 10s)) << "WM_STATE " << wmState().value_or(-1);
    EXPECT_FALSE(x_.isViewable(win_));
    EXPECT_TRUE(app_->running()) << app_->stderrText();
}

TEST_F(UnderWindowManager, DraggingTheTitleBarMovesTheWindowByTheDragDistance) {
    const Rect place = expectedPlace();
    const int dx = -90, dy = 70;
    const Point grip{place.x + kTitleBarGrip.x, place.y + kTitleBarGrip.y};
    ASSERT_TRUE(x_.drag(grip.x, grip.y, grip.x + dx, grip.y + dy));
    const Rect moved{place.x + dx, place.y + dy, place.width, place.height};
    EXPECT_TRUE(waitUntil([&] { return x_.geometry(win_) == std::optional<Rect>(moved); }, 10s))
        << "the window is at " << x_.geometry(win_).value_or(Rect{});
    EXPECT_TRUE(app_->running()) << app_->stderrText();
}

}  // namespace
}  // namespace quillon::e2e
