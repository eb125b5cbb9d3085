// What the desktop looks like right after start-up, probed pixel by pixel. Positions in the
// tables are in the client area unless a name says "outer".

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "assets.h"
#include "desktop/desktop_fixture.h"
#include "toolkit/color.h"

#ifndef QUILLON_SCREENSHOT_DIR
#error "QUILLON_SCREENSHOT_DIR must name the folder for screenshots"
#endif

namespace quillon::test {
namespace {

constexpr tk::Size kDesktopOuter = {999, 633};

// The wallpaper alone, stretched over a window of the desktop's size: what the desktop shows
// wherever no control lies.
const tk::WindowDef& wallpaperOnly() {
    static const tk::WindowDef def{.caption = "wallpaper", .outerSize = kDesktopOuter, .picture = assets::wallpaperWin7};
    return def;
}

class DesktopRendering : public DesktopTest {};

TEST_F(DesktopRendering, SavesAScreenshot) {
    tk::Window& desktop = startDesktop();
    const std::string path = saveScreenshot(desktop, QUILLON_SCREENSHOT_DIR, "desktop.png");
    EXPECT_FALSE(path.empty()) << "cannot write into " << QUILLON_SCREENSHOT_DIR;
}

TEST_F(DesktopRendering, SolidControlsShowTheirBackColours) {
    tk::Window& desktop = startDesktop();
    const PixelProbe probes[] = {
        // The taskbar, 标签2 (48,576 944x32), corner to corner.
        {"taskbar top-left", {48, 576}, 0x606060},
        {"taskbar middle", {500, 592}, 0x606060},
        {"taskbar bottom-right", {991, 607}, 0x606060},
        // The start button, 标签1 (0,576 48x32), away from its text.
        {"start top-left", {0, 576}, 0xECECEC},
        {"start top-right", {46, 578}, 0xECECEC},
        {"start bottom-right", {47, 607}, 0xECECEC},
        // The watermark, 标签8 (873,552 128x24), right of its first line.
        {"watermark after the first line", {988, 554}, 0x2D2D2D},
        {"watermark at the client's edge", {992, 553}, 0x2D2D2D},
        // The grey bars over the icons, 标签10 (8,32 64x16) and 标签9 (8,112 64x16).
        {"upper bar top-left", {8, 32}, tk::palette::face},
        {"upper bar bottom-right", {71, 47}, tk::palette::face},
        {"lower bar top-left", {8, 112}, tk::palette::face},
        {"lower bar bottom-right", {71, 127}, tk::palette::face},
    };
    expectClientPixels(desktop, probes);
}

TEST_F(DesktopRendering, WatermarkIsCutAtTheClientEdge) {
    tk::Window& desktop = startDesktop();
    const tk::Rect client = desktop.clientRect();
    const int y = client.y + 552 + 2;  // the watermark's row, in outer coordinates
    EXPECT_EQ(hex(desktop.pixel({client.right() - 1, y})), hex(0x2D2D2D));
    // The three frame columns right of the client area keep the frame's colours.
    const std::uint32_t frame[] = {tk::palette::face, tk::palette::shadow, tk::palette::darkShadow};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("outer x " + std::to_string(client.right() + i));
        EXPECT_EQ(hex(desktop.pixel({client.right() + i, y})), hex(frame[i]));
    }
}

TEST_F(DesktopRendering, IconsShowAWhiteSquare) {
    tk::Window& desktop = startDesktop();
    // The corners of 图片框1 (16,16 48x48) and 图片框2 (16,96 48x48), clear of the bars.
    const tk::Point corners[] = {{16, 16}, {63, 16}, {16, 63}, {63, 63}, {16, 96}, {63, 96}, {16, 143}, {63, 143}};
    for (tk::Point p : corners) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        const std::uint32_t c = clientPixel(desktop, p);
        EXPECT_TRUE(red(c) >= 0xE0 && green(c) >= 0xE0 && blue(c) >= 0xE0) << hex(c);
    }
}

TEST_F(DesktopRendering, WallpaperShowsWhereNoControlLies) {
    tk::Window& desktop = startDesktop();
    tk::Window& reference = toolkit().loadWindow(wallpaperOnly());
    toolkit().processPending();
    // Open sky, left and right of the logo.
    for (tk::Point p : {tk::Point{200, 100}, tk::Point{800, 100}, tk::Point{150, 450}}) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        const std::uint32_t c = clientPixel(desktop, p);
        EXPECT_EQ(hex(c), hex(clientPixel(reference, p)));
        EXPECT_TRUE(blue(c) > red(c) + 40 && blue(c) > green(c)) << "not blue: " << hex(c);
    }
}

TEST_F(DesktopRendering, ReinstallPanelIsHidden) {
    tk::Window& desktop = startDesktop();
    tk::Window& reference = toolkit().loadWindow(wallpaperOnly());
    toolkit().processPending();
    // Where the panel (标签3 230,96 552x368), its tabs and its close box would be.
    const struct {
        const char* what;
        tk::Point client;
    } places[] = {
        {"panel top-left", {230, 96}},  {"panel bottom-right", {781, 463}},
        {"panel middle", {300, 300}},   {"close box", {757, 104}},
        {"tab strip", {260, 135}},      {"next button", {670, 425}},
    };
    for (const auto& p : places) {
        SCOPED_TRACE(p.what);
        const std::uint32_t c = clientPixel(desktop, p.client);
        EXPECT_NE(hex(c), hex(0xECECEC));
        EXPECT_EQ(hex(c), hex(clientPixel(reference, p.client)));
    }
    for (std::string_view name : {"标签3", "标签4", "高级选择夹1", "标签5", "透明标签3"}) {
        SCOPED_TRACE(std::string(name));
        EXPECT_FALSE(desktop.control(name).shown());
    }
}

TEST_F(DesktopRendering, FrameHasCaptionBarCloseBoxAndClientArea) {
    tk::Window& desktop = startDesktop();
    EXPECT_EQ(desktop.outerSize(), kDesktopOuter);
    EXPECT_EQ(desktop.clientRect(), (tk::Rect{3, 22, 993, 608}));

    // The caption bar: a gradient from dark on the left to light on the right, active or not.
    const int xs[] = {3, 320, 500, 700, 900, 995};
    auto luminance = [](std::uint32_t c) { return red(c) + green(c) + blue(c); };
    for (std::size_t i = 1; i < std::size(xs); ++i) {
        SCOPED_TRACE("caption x " + std::to_string(xs[i]));
        EXPECT_GT(luminance(desktop.pixel({xs[i], 3})), luminance(desktop.pixel({xs[i - 1], 3})));
    }
    const std::uint32_t left = desktop.pixel({3, 3}), right = desktop.pixel({995, 3});
    const bool active = near(left, tk::palette::activeCaptionLeft, 4) && near(right, tk::palette::activeCaptionRight, 4);
    const bool inactive =
        near(left, tk::palette::inactiveCaptionLeft, 4) && near(right, tk::palette::inactiveCaptionRight, 4);
    EXPECT_TRUE(active || inactive) << hex(left) << " .. " << hex(right);

    // The close box, 16x14 at the right of the caption bar: raised edges and a black cross.
    const tk::Rect box = desktop.closeBoxRect();
    EXPECT_EQ(box, (tk::Rect{999 - 3 - 2 - 16, 5, 16, 14}));
    const struct {
        const char* what;
        tk::Point outer;
        std::uint32_t expected;
    } closeBox[] = {
        {"top-left highlight", {box.x, box.y}, tk::palette::highlight},
        {"bottom-right dark shadow", {box.right() - 1, box.bottom() - 1}, tk::palette::darkShadow},
        {"inner shadow", {box.right() - 2, box.bottom() - 2}, tk::palette::shadow},
        {"face", {box.x + 2, box.bottom() - 4}, tk::palette::face},
        {"cross, top-left stroke", {box.x + 4, box.y + 3}, 0x000000},
        {"cross, centre", {box.x + 7, box.y + 6}, 0x000000},
        {"cross, top-right stroke", {box.x + 10, box.y + 3}, 0x000000},
    };
    for (const auto& p : closeBox) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(hex(desktop.pixel(p.outer)), hex(p.expected));
    }
}

}  // namespace
}  // namespace quillon::test
