// The reinstall panel in the real program on a private X server: opened from the first desktop
// icon, each tab clicked, each page probed on screen.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

constexpr uint32_t kStrip = 0x0088FF;
constexpr uint32_t kPage = 0xFCFCFE;
constexpr uint32_t kBar = 0x0A246A;

std::string screenshotDir() { return (std::filesystem::path(QUILLON_BINARY).parent_path() / "screenshots").string(); }

class PanelE2E : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(x_.ok()) << x_.error() << "\n" << x_.server().log();
        app_ = std::make_unique<App>(x_, QUILLON_BINARY);
        ASSERT_TRUE(app_->ok()) << app_->error();
        const std::optional<WindowId> win = x_.findWindow(app_->pid());
        ASSERT_TRUE(win) << "no window; stderr:\n" << app_->stderrText();
        const std::optional<Rect> g = x_.geometry(*win);
        ASSERT_TRUE(g);
        origin_ = {g->x, g->y};
        x_.settle();
    }

    // Screen positions of a point of the desktop's client area, and of the tab control.
    Point client(int x, int y) const { return {origin_.x + 3 + x, origin_.y + 22 + y}; }
    Point onTabs(int x, int y) const { return client(239 + x, 126 + y); }

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
    Point origin_;
};

std::string hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb);
    return text;
}

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
    // A double-click on the first icon, above the grey bar over its lower part.
    const Point icon = client(40, 20);
    ASSERT_TRUE(x_.doubleClick(icon.x, icon.y));
    const Point strip = onTabs(400, 10);
    ASSERT_EQ(hex(waitForPixel(strip, kStrip)), hex(kStrip)) << "the panel did not open";
    EXPECT_EQ(hex(x_.screenshot().pixel(onTabs(510, 284).x, onTabs(510, 284).y)), hex(kStrip)) << "not on the check page";

    for (const PageCase& c : kPages) {
        SCOPED_TRACE("page " + std::to_string(c.page));
        const Point tab = onTabs(c.tab.x, c.tab.y);
        ASSERT_TRUE(x_.click(tab.x, tab.y));
        const Point w = onTabs(c.waitFor.local.x, c.waitFor.local.y);
        EXPECT_EQ(hex(waitForPixel(w, c.waitFor.expected)), hex(c.waitFor.expected)) << c.waitFor.what;
        x_.settle();
        const Image shot = x_.screenshot();
        for (const Probe& p : c.others) {
            const Point s = onTabs(p.local.x, p.local.y);
            EXPECT_EQ(hex(shot.pixel(s.x, s.y)), hex(p.expected)) << p.what;
        }
        std::string error;
        EXPECT_TRUE(savePng(shot, screenshotDir() + "/e2e_panel_page" + std::to_string(c.page) + ".png", &error)) << error;
    }
    EXPECT_TRUE(app_->running());
}

}  // namespace
}  // namespace quillon::e2e
