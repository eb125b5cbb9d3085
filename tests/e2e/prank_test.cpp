// The whole prank in the real program on a private X server, driven by xdotool the way a user
// would: the panel from the first icon, an edition, the restart, the completion window and the
// desktop after it; the keys; and the pass where nothing is chosen, to the program's end.
// Every screen of a pass is kept in the build folder's screenshots/.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

// The program's windows, told apart by their outer sizes: the titles are checked on their own.
enum class Shown { Desktop, Completion, Message };
constexpr Rect kDesktopSize = {0, 0, 999, 633};
constexpr Rect kCompletionSize = {0, 0, 933, 619};
constexpr std::string_view kMessageTitle = "信息：";

Shown kindOf(const XSession::WindowInfo& w) {
    if (w.geometry.width == kDesktopSize.width && w.geometry.height == kDesktopSize.height) return Shown::Desktop;
    if (w.geometry.width == kCompletionSize.width && w.geometry.height == kCompletionSize.height)
        return Shown::Completion;
    return Shown::Message;
}

std::string nameOf(Shown kind) {
    switch (kind) {
        case Shown::Desktop: return "desktop";
        case Shown::Completion: return "completion";
        case Shown::Message: return "message";
    }
    return "?";
}

// Client positions. The client area starts 3 right and 22 below the window's corner; the
// panel's controls lie on the tab control at (239,126).
constexpr Point kToolIcon = {40, 22};  // 图片框1, above the grey bar 标签10 over its middle
constexpr Point kCheckNext = {239 + 419 + 48, 126 + 282 + 16};   // 标签5
constexpr Point kChoiceNext = {239 + 445 + 40, 126 + 290 + 16};  // 标签6
constexpr Point kRestartNow = {239 + 401 + 52, 126 + 274 + 20};  // 标签7
constexpr Point kFinish = {770 + 80, 572 + 8};                   // 标签3 of the completion window
constexpr Point edition(int left, int top) { return {239 + left + 92, 126 + top + 16}; }

// Where the desktop shows nothing but its wallpaper.
constexpr std::array<Point, 4> kWallpaperProbes = {{{600, 300}, {300, 450}, {150, 300}, {850, 200}}};
using WallpaperSample = std::array<uint32_t, kWallpaperProbes.size()>;

std::string hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb);
    return text;
}

std::string describe(const WallpaperSample& s) {
    std::string text;
    for (uint32_t rgb : s) text += (text.empty() ? "" : " ") + hex(rgb);
    return text;
}

class PrankE2E : public ::testing::Test {
protected:
    // One X server for the suite; each test starts its own program on it.
    static void SetUpTestSuite() { x_ = new XSession(); }
    static void TearDownTestSuite() {
        delete x_;
        x_ = nullptr;
    }

    void SetUp() override {
        ASSERT_TRUE(x_->ok()) << x_->error() << "\n" << x_->server().log();
        app_ = std::make_unique<App>(*x_, QUILLON_BINARY);
        ASSERT_TRUE(app_->ok()) << app_->error();
        const std::optional<XSession::WindowInfo> desktop = waitForOnly(Shown::Desktop);
        ASSERT_TRUE(desktop) << "no desktop; " << state();
        window_ = desktop->geometry;
        x_->settle();
    }

    void TearDown() override { app_.reset(); }

    // Waits until the program shows exactly one window, of that kind.
    std::optional<XSession::WindowInfo> waitForOnly(Shown kind) {
        std::optional<XSession::WindowInfo> found;
        waitUntil(
            [&] {
                const auto windows = x_->listWindows(app_->pid());
                found.reset();
                if (windows.size() == 1 && kindOf(windows.front()) == kind) found = windows.front();
                return found.has_value();
            },
            10s, 20ms);
        return found;
    }

    // Waits until one of the program's windows is of that kind.
    std::optional<XSession::WindowInfo> waitForWindow(Shown kind) {
        std::optional<XSession::WindowInfo> found;
        waitUntil(
            [&] {
                for (const auto& w : x_->listWindows(app_->pid()))
                    if (kindOf(w) == kind) found = w;
                return found.has_value();
            },
            10s, 20ms);
        return found;
    }

    // For failure messages: the windows on screen, and whether and how the program ended.
    std::string state() {
        std::string text = "windows: " + ::testing::PrintToString(shown());
        if (const std::optional<int> code = app_->waitExit(0ms)) text += "; ended with " + std::to_string(*code);
        return text + "; stderr:\n" + app_->stderrText();
    }

    // The program's windows on screen, bottom first.
    std::vector<std::string> shown() {
        std::vector<std::string> names;
        for (const auto& w : x_->listWindows(app_->pid())) names.push_back(nameOf(kindOf(w)));
        return names;
    }

    // A client point of the current window, on the screen.
    Point screen(Point client) const { return {window_.x + 3 + client.x, window_.y + 22 + client.y}; }
    ::testing::AssertionResult click(Point client) {
        const Point s = screen(client);
        return x_->click(s.x, s.y);
    }

    // Settles, then keeps the current window's picture (or the rectangle given) as name.
    Image shoot(const std::string& name, std::optional<Rect> area = std::nullopt) {
        x_->settle();
        const Image shot = x_->screenshot().crop(area.value_or(window_));
        const std::string folder = (std::filesystem::path(QUILLON_BINARY).parent_path() / "screenshots").string();
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        std::string error;
        EXPECT_TRUE(savePng(shot, folder + "/prank_" + name + ".png", &error)) << error;
        return shot;
    }

    WallpaperSample wallpaper() {
        x_->settle();
        const Image shot = x_->screenshot();
        WallpaperSample s{};
        for (std::size_t i = 0; i < kWallpaperProbes.size(); ++i) {
            const Point p = screen(kWallpaperProbes[i]);
            s[i] = shot.pixel(p.x, p.y);
        }
        return s;
    }

    // From the desktop with the panel closed to the edition page.
    void openEditionPage() {
        ASSERT_TRUE(x_->doubleClick(screen(kToolIcon).x, screen(kToolIcon).y));
        shoot("page0_check");
        ASSERT_TRUE(click(kCheckNext));
        shoot("page1_editions");
    }

    // From the edition page, with an edition chosen, to the desktop after the restart.
    void restartAndFinish() {
        ASSERT_TRUE(click(kChoiceNext));
        shoot("page2_install");
        ASSERT_TRUE(click(kRestartNow));
        const std::optional<XSession::WindowInfo> completion = waitForOnly(Shown::Completion);
        ASSERT_TRUE(completion) << state();
        window_ = completion->geometry;
        shoot("completion");
        ASSERT_TRUE(click(kFinish));
        const std::optional<XSession::WindowInfo> desktop = waitForOnly(Shown::Desktop);
        ASSERT_TRUE(desktop) << state();
        window_ = desktop->geometry;
    }

    static XSession* x_;
    // What each family's desktop showed, for the families to be told apart across the cases.
    static std::map<std::string, WallpaperSample> families_;

    std::unique_ptr<App> app_;
    Rect window_;  // the window being worked on, on the screen
};

XSession* PrankE2E::x_ = nullptr;
std::map<std::string, WallpaperSample> PrankE2E::families_;

struct FamilyCase {
    const char* family;
    const char* radio;  // for the reader
    Point where;
};

void PrintTo(const FamilyCase& c, std::ostream* os) { *os << c.radio << " (" << c.family << ")"; }

class FamilyPass : public PrankE2E, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(FamilyPass, EndsOnTheFamilysWallpaper) {
    const WallpaperSample seven = wallpaper();  // the first desktop shows the seven family's
    shoot("desktop");
    openEditionPage();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(click(GetParam().where)) << GetParam().radio;
    restartAndFinish();
    ASSERT_FALSE(HasFatalFailure());

    const WallpaperSample seen = wallpaper();
    shoot(std::string("desktop_") + GetParam().family);
    const std::string family = GetParam().family;
    if (family == "seven") {
        EXPECT_EQ(describe(seen), describe(seven));
    } else {
        EXPECT_NE(describe(seen), describe(seven));
    }
    for (const auto& [other, sample] : families_) {
        if (other != family) {
            EXPECT_NE(describe(seen), describe(sample)) << "same wallpaper as the " << other << " family";
        }
    }
    families_[family] = seen;
    EXPECT_TRUE(app_->running());
}

INSTANTIATE_TEST_SUITE_P(Editions, FamilyPass,
                         ::testing::Values(FamilyCase{"seven", "单选框2", edition(248, 40)},
                                           FamilyCase{"eight", "单选框6", edition(248, 120)},
                                           FamilyCase{"ten", "单选框11", edition(16, 240)}),
                         [](const auto& info) { return std::string(info.param.family); });

TEST_F(PrankE2E, SpaceChoosesTheFocusedEdition) {
    const WallpaperSample seven = wallpaper();
    openEditionPage();
    ASSERT_FALSE(HasFatalFailure());
    // The edition page gives the keyboard to its first edition, 单选框14, of the ten family.
    ASSERT_TRUE(x_->key("space"));
    shoot("page1_space");
    restartAndFinish();
    ASSERT_FALSE(HasFatalFailure());

    const WallpaperSample seen = wallpaper();
    EXPECT_NE(describe(seen), describe(seven));
    if (families_.contains("ten")) {
        EXPECT_EQ(describe(seen), describe(families_["ten"]));
    }
}

TEST_F(PrankE2E, NothingChosenEndsOnTheDamagedSystemMessageWithZero) {
    openEditionPage();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(click(kChoiceNext));
    std::optional<XSession::WindowInfo> box = waitForWindow(Shown::Message);
    ASSERT_TRUE(box) << "no warning; " << state();
    EXPECT_EQ(box->name, kMessageTitle);
    shoot("message_choose", Rect{0, 0, x_->width(), x_->height()});
    ASSERT_TRUE(x_->key("Return"));
    ASSERT_TRUE(waitForOnly(Shown::Desktop)) << "the warning stayed; " << state();

    ASSERT_TRUE(click(kRestartNow));
    const std::optional<XSession::WindowInfo> completion = waitForOnly(Shown::Completion);
    ASSERT_TRUE(completion) << state();
    window_ = completion->geometry;
    ASSERT_TRUE(click(kFinish));
    box = waitForWindow(Shown::Message);
    ASSERT_TRUE(box) << "no second message; " << state();
    EXPECT_EQ(box->name, kMessageTitle);
    shoot("message_damaged", Rect{0, 0, x_->width(), x_->height()});
    EXPECT_EQ(shown(), (std::vector<std::string>{"completion", "message"}))
        << "the message stands over the completion window, with no new desktop";

    ASSERT_TRUE(x_->key("Return"));
    bool desktopShown = false;
    waitUntil(
        [&] {
            for (const std::string& name : shown()) desktopShown |= name == "desktop";
            return !app_->running();
        },
        10s, 10ms);
    EXPECT_FALSE(desktopShown);
    EXPECT_EQ(app_->waitExit(5s), std::optional<int>(0)) << app_->stderrText();
}

}  // namespace
}  // namespace quillon::e2e
