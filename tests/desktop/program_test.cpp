// The program's start-up and the desktop's handlers, seen through what gets painted.

#include <gtest/gtest.h>

#include <optional>
#include <span>
#include <string>

#include "assets.h"
#include "desktop/desktop_fixture.h"
#include "desktop/desktop_window.h"

namespace quillon::test {
namespace {

// Open sky in all three wallpapers.
constexpr tk::Point kSky[] = {{200, 100}, {800, 100}};

const tk::WindowDef& wallpaperOnly(std::span<const std::uint8_t> picture) {
    static tk::WindowDef def;
    def = tk::WindowDef{.caption = "wallpaper", .outerSize = {999, 633}, .picture = picture};
    return def;
}

struct FamilyCase {
    const char* name;
    std::int32_t family;
    const std::span<const std::uint8_t>* wallpaper;
};

class WallpaperByFamily : public DesktopTest, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(WallpaperByFamily, DesktopShowsTheFamilysWallpaper) {
    chosenFamily = GetParam().family;
    tk::Window& desktop = startDesktop();
    // Each reference window is painted before the next one reuses the definition.
    tk::Window& own = toolkit().loadWindow(wallpaperOnly(*GetParam().wallpaper));
    tk::Window& seven = toolkit().loadWindow(wallpaperOnly(assets::wallpaperWin7));
    for (tk::Point p : kSky) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ(hex(clientPixel(desktop, p)), hex(clientPixel(own, p)));
        if (GetParam().family != kFamilySeven) {
            EXPECT_NE(hex(clientPixel(desktop, p)), hex(clientPixel(seven, p)));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Program, WallpaperByFamily,
                         ::testing::Values(FamilyCase{"Seven", kFamilySeven, &assets::wallpaperWin7},
                                           FamilyCase{"Ten", kFamilyTen, &assets::wallpaperWin10},
                                           FamilyCase{"Eight", kFamilyEight, &assets::wallpaperWin8}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DesktopTest, NoFamilyChosenEndsTheProgramWithZeroOnceTheMessageIsDismissed) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            chosenFamily = kFamilyNone;
            key(tk::Key::Enter);  // dismisses the message box once it is up
            startUp(toolkit());
        },
        ::testing::ExitedWithCode(0), "");
}

// The start button, 标签1 (0,576 48x32).
constexpr tk::Rect kStartButton = {0, 576, 48, 32};
constexpr tk::Point kStartCentre = {24, 592};

bool reddish(std::uint32_t c) { return red(c) >= 0xC0 && green(c) <= 0x60 && blue(c) <= 0x60; }
bool dark(std::uint32_t c) { return red(c) <= 0x60 && green(c) <= 0x60 && blue(c) <= 0x60; }

TEST_F(DesktopTest, StartButtonTextTurnsRedWhilePressed) {
    tk::Window& desktop = startDesktop();
    EXPECT_EQ(findPixel(desktop, kStartButton, reddish), std::nullopt);
    ASSERT_NE(findPixel(desktop, kStartButton, dark), std::nullopt);

    press(desktop, kStartCentre);
    toolkit().processPending();
    EXPECT_NE(findPixel(desktop, kStartButton, reddish), std::nullopt) << "no red text after the press";
    EXPECT_EQ(findPixel(desktop, kStartButton, dark), std::nullopt);

    release(desktop, kStartCentre);
    toolkit().processPending();
    EXPECT_EQ(findPixel(desktop, kStartButton, reddish), std::nullopt) << "still red after the release";
    EXPECT_NE(findPixel(desktop, kStartButton, dark), std::nullopt);
}

TEST_F(DesktopTest, ToolIconDoubleClickShowsThePanelAndItsCloseBoxHidesIt) {
    tk::Window& desktop = startDesktop();
    const tk::Point panel = {300, 460};  // inside 标签3 (230,96 552x368), below the tab control
    const std::uint32_t wallpaper = clientPixel(desktop, panel);

    press(desktop, {40, 20}, 1);
    release(desktop, {40, 20});
    press(desktop, {40, 20}, 2);
    release(desktop, {40, 20});
    toolkit().processPending();
    EXPECT_EQ(hex(clientPixel(desktop, panel)), hex(0xECECEC));
    for (std::string_view name : kPanelSet) {
        SCOPED_TRACE(std::string(name));
        EXPECT_TRUE(desktop.control(name).shown());
    }

    click(desktop, {757, 104});  // 标签4, the panel's close box
    toolkit().processPending();
    EXPECT_EQ(hex(clientPixel(desktop, panel)), hex(wallpaper));
    for (std::string_view name : kPanelSet) {
        SCOPED_TRACE(std::string(name));
        EXPECT_FALSE(desktop.control(name).shown());
    }
}

}  // namespace
}  // namespace quillon::test
