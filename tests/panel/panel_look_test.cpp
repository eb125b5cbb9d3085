// How the panel looks: the tab strip's layout, the marking of the tab under the mouse, and the
// colours of each page, probed pixel by pixel. Positions are on the tab control unless a name
// says "client".

#include <gtest/gtest.h>

#include <string>

#include "panel_fixture.h"
#include "toolkit/color.h"

#ifndef QUILLON_SCREENSHOT_DIR
#error "QUILLON_SCREENSHOT_DIR must name the folder for screenshots"
#endif

namespace quillon::test {
namespace {

constexpr std::uint32_t kStrip = 0x0088FF;
constexpr std::uint32_t kPage = 0xFCFCFE;
constexpr std::uint32_t kBandEdge = 0xE68B2C;
constexpr std::uint32_t kBand = 0xFFC83C;

// The tabs as laid out, unselected: side by side from x = 1, 20 pixels high under a 2-pixel gap.
const tk::Rect kTabs[] = {{1, 2, 83, 20}, {84, 2, 83, 20}, {167, 2, 59, 20}};

bool reddish(std::uint32_t c) { return red(c) >= 0xB0 && green(c) < 0x60 && blue(c) < 0x60; }
bool dark(std::uint32_t c) { return red(c) < 0x60 && green(c) < 0x60 && blue(c) < 0x60; }
bool bluish(std::uint32_t c) { return blue(c) >= 0xB0 && red(c) < 0x60 && green(c) < 0x60; }
// The panel's own blue, 0x0088FF, as the editions' captions are drawn.
bool panelBlue(std::uint32_t c) { return blue(c) >= 0xD0 && red(c) < 0x60 && green(c) >= 0x60 && green(c) < 0xB0; }

class TabStrip : public PanelTest, public ::testing::WithParamInterface<int> {};

TEST_P(TabStrip, TabsAreLaidOutSideBySideWithTheSelectedOneEnlarged) {
    const int current = GetParam();
    tabs().setCurrentPage(current);
    for (int page = 0; page < 3; ++page) {
        SCOPED_TRACE("tab " + std::to_string(page));
        const tk::Rect r = kTabs[page];
        const tk::Rect expected = page == current ? tk::Rect{r.x - 3, 0, r.width + 7, r.bottom()} : r;
        EXPECT_EQ(tabs().tabRect(page), expected);
    }
    EXPECT_EQ(tabs().tabRect(3), tk::Rect{});
    EXPECT_EQ(tabs().tabRect(-1), tk::Rect{});
}

// Where the enlarged tab overlaps a neighbour, a press belongs to the selected tab.
TEST_P(TabStrip, SelectedTabWinsWhereItOverlapsANeighbour) {
    const int current = GetParam();
    tabs().setCurrentPage(current);
    const tk::Rect sel = tabs().tabRect(current);
    const struct {
        const char* what;
        tk::Point local;
        int tab;
    } cases[] = {
        {"selected tab's left overlap", {sel.x + 1, 10}, current},
        {"selected tab's right overlap", {sel.right() - 2, 10}, current},
        {"above the strip, on the selected tab", {sel.x + sel.width / 2, 0}, current},
        {"above the strip, beside the selected tab", {current == 2 ? 40 : 200, 0}, -1},
        {"right of the tabs", {300, 10}, -1},
        {"the page", {100, 100}, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(tabs().tabAt(c.local), c.tab);
    }
}

INSTANTIATE_TEST_SUITE_P(Panel, TabStrip, ::testing::Values(0, 1, 2));

enum class Away { ToThePage, ToTheStrip, OutOfTheWindow };

struct HoverCase {
    const char* name;
    int hovered;  // a tab other than the current one, page 0
    Away away;
};

class TabHover : public PanelTest, public ::testing::WithParamInterface<HoverCase> {};

TEST_P(TabHover, MarksTheTabUnderTheMouseUntilItLeaves) {
    const HoverCase& c = GetParam();
    ASSERT_EQ(tabs().currentPage(), 0);
    const tk::Rect tab = tabsRect(tabs().tabRect(c.hovered));
    const int bandX = tab.x + tab.width / 2;

    move(tabCentre(c.hovered));
    toolkit().processPending();
    EXPECT_EQ(tabs().hotTab(), c.hovered);
    EXPECT_NE(findPixel(desktop(), tab, reddish), std::nullopt) << "no red caption";
    EXPECT_EQ(hex(clientPixel(desktop(), {bandX, tab.y})), hex(kBandEdge));
    EXPECT_EQ(hex(clientPixel(desktop(), {bandX, tab.y + 1})), hex(kBand));
    EXPECT_EQ(hex(clientPixel(desktop(), {bandX, tab.y + 2})), hex(kBand));
    // The other unselected tab stays plain.
    const tk::Rect other = tabsRect(tabs().tabRect(3 - c.hovered));
    EXPECT_EQ(findPixel(desktop(), other, reddish), std::nullopt);
    const std::uint32_t otherTop = clientPixel(desktop(), {other.x + other.width / 2, other.y + 1});
    EXPECT_TRUE(near(otherTop, 0xFFFFFF, 3)) << hex(otherTop);

    switch (c.away) {
        case Away::ToThePage: move(onTabs({60, 200})); break;
        case Away::ToTheStrip: move(onTabs({400, 10})); break;
        case Away::OutOfTheWindow:
            toolkit().post({.type = tk::InputType::MouseLeave, .window = desktop().nativeId()});
            break;
    }
    toolkit().processPending();
    EXPECT_EQ(tabs().hotTab(), -1);
    EXPECT_EQ(findPixel(desktop(), tab, reddish), std::nullopt) << "caption still red";
    EXPECT_NE(findPixel(desktop(), tab, dark), std::nullopt) << "caption not black again";
    EXPECT_EQ(hex(clientPixel(desktop(), {bandX, tab.y})), hex(kStrip));
    const std::uint32_t top = clientPixel(desktop(), {bandX, tab.y + 1});
    EXPECT_TRUE(near(top, 0xFFFFFF, 3)) << hex(top);
}

INSTANTIATE_TEST_SUITE_P(Panel, TabHover,
                         ::testing::Values(HoverCase{"SecondTabThenThePage", 1, Away::ToThePage},
                                           HoverCase{"SecondTabThenTheStrip", 1, Away::ToTheStrip},
                                           HoverCase{"ThirdTabThenOutOfTheWindow", 2, Away::OutOfTheWindow}),
                         [](const auto& info) { return std::string(info.param.name); });

class PanelPage : public PanelTest, public ::testing::WithParamInterface<int> {
protected:
    std::uint32_t at(tk::Point local) { return clientPixel(desktop(), onTabs(local)); }
};

TEST_P(PanelPage, ShowsTheStripThePageAndTheFrame) {
    const int current = GetParam();
    tabs().setCurrentPage(current);
    toolkit().processPending();
    const std::string shot = saveScreenshot(desktop(), QUILLON_SCREENSHOT_DIR, "panel_page" + std::to_string(current) + ".png");
    EXPECT_FALSE(shot.empty()) << "cannot write into " << QUILLON_SCREENSHOT_DIR;

    const tk::Rect sel = tabs().tabRect(current);
    const struct {
        const char* what;
        tk::Point local;
        std::uint32_t expected;
    } probes[] = {
        {"strip right of the tabs", {400, 10}, kStrip},
        {"strip at the top-right corner", {535, 0}, kStrip},
        {"selected tab, band edge", {sel.x + 3, 0}, kBandEdge},
        {"selected tab, band", {sel.x + 3, 1}, kBand},
        {"selected tab, band's second row", {sel.x + 3, 2}, kBand},
        {"selected tab, left outline", {sel.x, 10}, kStrip},
        {"selected tab, face", {sel.x + 3, 20}, kPage},
        {"selected tab opens into the page", {sel.x + 3, 22}, kPage},
        {"page frame, top beside the tab", {300, 22}, kStrip},
        {"page frame, left", {0, 200}, kStrip},
        {"page frame, right", {535, 200}, kStrip},
        {"page frame, bottom", {300, 329}, kStrip},
        {"page", {8, 320}, kPage},
        {"page, bottom-right", {534, 328}, kPage},
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(hex(at(p.local)), hex(p.expected));
    }

    // The unselected tabs: a gradient from white at the top to 0xEBEBE5 at the bottom, away from
    // the caption and from the selected tab's overlap.
    for (int page = 0; page < 3; ++page) {
        if (page == current) continue;
        SCOPED_TRACE("tab " + std::to_string(page));
        const tk::Rect r = tabs().tabRect(page);
        const int x = page > current ? r.right() - 3 : r.x + 3;
        EXPECT_EQ(hex(at({x, r.y})), hex(kStrip)) << "outline";
        EXPECT_TRUE(near(at({x, r.y + 1}), 0xFFFFFF, 3)) << hex(at({x, r.y + 1}));
        EXPECT_TRUE(near(at({x, r.bottom() - 2}), 0xEBEBE5, 4)) << hex(at({x, r.bottom() - 2}));
        EXPECT_EQ(findPixel(desktop(), tabsRect(r), reddish), std::nullopt);
        EXPECT_NE(findPixel(desktop(), tabsRect(r), dark), std::nullopt) << "no black caption";
    }
    EXPECT_NE(findPixel(desktop(), tabsRect(sel), bluish), std::nullopt) << "no blue caption on the selected tab";

    // Around the tab control: 标签3's grey face and black border, and the red close mark 标签4.
    const PixelProbe around[] = {
        {"frame border, top-left", {230, 96}, 0x000000},
        {"frame border, bottom-right", {781, 463}, 0x000000},
        {"frame border, left", {230, 300}, 0x000000},
        {"frame border, right", {781, 300}, 0x000000},
        {"frame border, bottom", {500, 463}, 0x000000},
        {"frame face, left of the tabs", {233, 300}, 0xECECEC},
        {"frame face, above the tabs", {600, 110}, 0xECECEC},
        {"frame face, below the tabs", {500, 460}, 0xECECEC},
        {"close mark, top-left", {741, 96}, 0xFF0000},
        {"close mark, bottom-right", {772, 111}, 0xFF0000},
    };
    expectClientPixels(desktop(), around);
}

INSTANTIATE_TEST_SUITE_P(Panel, PanelPage, ::testing::Values(0, 1, 2));

using PanelLook = PanelTest;

TEST_F(PanelLook, CheckPageShowsItsBlueButton) {
    const tk::Rect b = desktop().control("标签5").bounds();
    for (tk::Point p : {b.origin(), tk::Point{b.right() - 1, b.bottom() - 1}, tk::Point{b.x + 3, b.y + b.height / 2}}) {
        SCOPED_TRACE(std::to_string(p.x) + "," + std::to_string(p.y));
        EXPECT_EQ(hex(clientPixel(desktop(), p)), hex(kStrip));
    }
    EXPECT_NE(findPixel(desktop(), b, dark), std::nullopt) << "no caption";
}

TEST_F(PanelLook, EditionsShowAGreyFaceAndAClearMark) {
    tabs().setCurrentPage(1);
    toolkit().processPending();
    for (int n = 1; n <= 14; ++n) {
        SCOPED_TRACE(radioName(n));
        const tk::Rect b = desktop().control(radioName(n)).bounds();
        EXPECT_EQ(hex(clientPixel(desktop(), {b.x + 1, b.y + 1})), hex(0xECECEC));
        EXPECT_EQ(hex(clientPixel(desktop(), {b.right() - 1, b.y})), hex(0xECECEC));
        // The mark: 13 x 13, centred vertically at the left, white inside a darker ring.
        EXPECT_EQ(hex(clientPixel(desktop(), {b.x + 6, b.y + 15})), hex(0xFFFFFF));
        EXPECT_EQ(hex(clientPixel(desktop(), {b.x + 4, b.y + 13})), hex(0xFFFFFF));
        const std::uint32_t ring = clientPixel(desktop(), {b.x + 1, b.y + 15});
        EXPECT_LT(red(ring) + green(ring) + blue(ring), 3 * 0xD0) << hex(ring);
        EXPECT_NE(findPixel(desktop(), {b.x + 17, b.y, b.width - 17, b.height}, panelBlue), std::nullopt) << "no caption";
    }
}

TEST_F(PanelLook, InstallPageShowsTwoFullBars) {
    tabs().setCurrentPage(2);
    toolkit().processPending();
    for (std::string_view name : {"进度条1", "进度条2"}) {
        SCOPED_TRACE(std::string(name));
        const tk::Rect b = desktop().control(name).bounds();
        for (int y : {b.y + 2, b.y + b.height / 2, b.bottom() - 3}) {
            SCOPED_TRACE("row " + std::to_string(y));
            EXPECT_EQ(hex(clientPixel(desktop(), {b.x, y})), hex(0x000000)) << "border";
            EXPECT_EQ(hex(clientPixel(desktop(), {b.right() - 1, y})), hex(0x000000)) << "border";
            EXPECT_EQ(hex(clientPixel(desktop(), {b.x + 1, y})), hex(tk::palette::face));
            EXPECT_EQ(hex(clientPixel(desktop(), {b.right() - 2, y})), hex(tk::palette::face));
            int barColoured = 0;
            for (int x = b.x + 2; x < b.right() - 2; ++x) barColoured += clientPixel(desktop(), {x, y}) == tk::palette::highlightBar;
            EXPECT_EQ(barColoured, b.width - 4) << "the bar is not full across";
        }
    }
}

}  // namespace
}  // namespace quillon::test
