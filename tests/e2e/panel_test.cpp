// The reinstall panel in the real program on a private X server: opened from the first desktop
// icon, each tab clicked, each page probed on screen.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

constexpr uint32_t kStrip = 0x0088FF;
constexpr uint32_t kPage = 0xFCFCFE;
constexpr uint32_t kBar = 0x0A246A;

class PanelE2E : public ::testing::Test {
protected:
    void SetUp() override {
        XSession::WindowInfo desktop;
        ASSERT_TRUE(startToDesktop(x_, QUILLON_BINARY, app_, desktop));
        window_ = desktop.geometry;
    }

    // The screen position of a point of the tab control.
    Point screenOnTabs(Point p) const { return toScreen(window_, onTabs(p)); }

    // Waits until the screen shows rgb at p; returns the pixel last seen.
    uint32_t waitForPixel(Point p, uint32_t rgb) {
        uint32_t seen = 0;
        waitUntil([&] {
            const Image shot = x_.screenshot();
            seen = shot.empty() ? 0 : shot.pixel(p.x, p.y);
            return seen == rgb;
        }, 3s, 20ms);
        return seen;
    }

    XSession x_;
    std::unique_ptr<App> app_;
    Rect window_;
};

struct Probe {
    const char* what;
    Point local;  // on the tab control
    uint32_t expected;
};

struct PageCase {
    int page;
    Point tab;  // the middle of its tab, on the tab control
    Probe waitFor;
    Probe others[3];
};

// In the order the tabs are clicked: from the check page to the edition page, the installation
// page, and back.
const PageCase kPages[] = {
    {1, {125, 12}, {"edition 单选框1's mark", {24, 57}, 0xFFFFFF},
     {{"page where 标签5 was", {510, 284}, kPage}, {"edition's face", {19, 43}, 0xECECEC}, {"strip", {400, 10}, kStrip}}},
    {2, {196, 12}, {"bar 进度条1", {273, 78}, kBar},
     {{"bar 进度条2", {273, 150}, kBar}, {"bar's border", {33, 78}, 0x000000}, {"where an edition was", {24, 57}, kPage}}},
    {0, {42, 12}, {"button 标签5", {510, 284}, kStrip},
     {{"where bar 进度条1 was", {273, 78}, kPage}, {"page frame", {0, 200}, kStrip}, {"strip", {400, 10}, kStrip}}},
};

TEST_F(PanelE2E, TabsSwitchThePagesOnScreen) {
    const Point icon = toScreen(window_, kToolIcon);
    ASSERT_TRUE(x_.doubleClick(icon.x, icon.y));
    const Point strip = screenOnTabs({400, 10});
    ASSERT_EQ(hex(waitForPixel(strip, kStrip)), hex(kStrip)) << "the panel did not open";
    const Point checkNext = screenOnTabs({510, 284});
    EXPECT_EQ(hex(x_.screenshot().pixel(checkNext.x, checkNext.y)), hex(kStrip)) << "not on the check page";

    for (const PageCase& c : kPages) {
        SCOPED_TRACE("page " + std::to_string(c.page));
        const Point tab = screenOnTabs(c.tab);
        ASSERT_TRUE(x_.click(tab.x, tab.y));
        const Point w = screenOnTabs(c.waitFor.local);
        EXPECT_EQ(hex(waitForPixel(w, c.waitFor.expected)), hex(c.waitFor.expected)) << c.waitFor.what;
        x_.settle();
        const Image shot = x_.screenshot();
        for (const Probe& p : c.others) {
            const Point s = screenOnTabs(p.local);
            EXPECT_EQ(hex(shot.pixel(s.x, s.y)), hex(p.expected)) << p.what;
        }
        std::string error;
        EXPECT_TRUE(savePng(shot, screenshotPath("e2e_panel_page" + std::to_string(c.page) + ".png"), &error)) << error;
    }
    EXPECT_TRUE(app_->running());
}

}  // namespace
}  // namespace quillon::e2e
