// The whole prank in the real program on a private X server, driven by xdotool the way a user
// would: the panel from the first icon, an edition, the restart, the completion window and the
// desktop after it; the keys; and the pass where nothing is chosen, to the program's end.
// Every screen of a pass is kept in the build folder's screenshots/.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

// The program's windows are told apart by their outer sizes (kindOf); the titles are checked
// on their own.
constexpr std::string_view kMessageTitle = "信息：";

// Where the desktop shows nothing but its wallpaper.
constexpr std::array<Point, 4> kWallpaperProbes = {{{600, 300}, {300, 450}, {150, 300}, {850, 200}}};
using WallpaperSample = std::array<uint32_t, kWallpaperProbes.size()>;

std::string describe(const WallpaperSample& s) {
    std::string text;
    for (uint32_t rgb : s) {
        if (!text.empty()) text += ' ';
        text += hex(rgb);
    }
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
        XSession::WindowInfo desktop;
        ASSERT_TRUE(startToDesktop(*x_, QUILLON_BINARY, app_, desktop, 10s));
        window_ = desktop.geometry;
    }

    void TearDown() override { app_.reset(); }

    // Waits until the program shows exactly one window, of that kind, and works on it.
    ::testing::AssertionResult switchTo(Shown kind) {
        XSession::WindowInfo found;
        ::testing::AssertionResult result = waitForOnly(*x_, *app_, kind, found, 10s);
        if (result) window_ = found.geometry;
        return result;
    }

    // The program's windows on screen, bottom first.
    std::vector<std::string> shown() {
        std::vector<std::string> names;
        for (const auto& w : x_->listWindows(app_->pid())) names.push_back(nameOf(kindOf(w)));
        return names;
    }

    // A client point of the current window, on the screen.
    Point screen(Point client) const { return toScreen(window_, client); }
    ::testing::AssertionResult click(Point client) {
        const Point s = screen(client);
        return x_->click(s.x, s.y);
    }
    ::testing::AssertionResult click(const Rect& control) { return click(middle(control)); }

    // Settles, then keeps the current window's picture (or the rectangle given) as name.
    Image shoot(const std::string& name, std::optional<Rect> area = std::nullopt) {
        x_->settle();
        const Image shot = x_->screenshot().crop(area.value_or(window_));
        std::string error;
        EXPECT_TRUE(savePng(shot, screenshotPath("prank_" + name + ".png"), &error)) << error;
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
        ASSERT_TRUE(switchTo(Shown::Completion));
        shoot("completion");
        ASSERT_TRUE(click(kFinishLink));
        ASSERT_TRUE(switchTo(Shown::Desktop));
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
    Rect where;  // the edition with its label
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
                         ::testing::Values(FamilyCase{"seven", "单选框2", edition(1, 0)},
                                           FamilyCase{"eight", "单选框6", edition(1, 2)},
                                           FamilyCase{"ten", "单选框11", edition(0, 5)}),
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
    XSession::WindowInfo box;
    ASSERT_TRUE(waitForAny(*x_, *app_, Shown::Message, box, 10s)) << "no warning";
    EXPECT_EQ(box.name, kMessageTitle);
    shoot("message_choose", Rect{0, 0, x_->width(), x_->height()});
    ASSERT_TRUE(x_->key("Return"));
    ASSERT_TRUE(switchTo(Shown::Desktop)) << "the warning stayed";

    ASSERT_TRUE(click(kRestartNow));
    ASSERT_TRUE(switchTo(Shown::Completion));
    ASSERT_TRUE(click(kFinishLink));
    ASSERT_TRUE(waitForAny(*x_, *app_, Shown::Message, box, 10s)) << "no second message";
    EXPECT_EQ(box.name, kMessageTitle);
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
