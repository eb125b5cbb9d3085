// The corners of the prank: releases without presses, double-clicks, the panel closed and
// opened again, and cycles that follow other cycles.

#include <string>
#include <vector>

#include "desktop/desktop_window.h"
#include "prank/prank_fixture.h"

namespace quillon::test {
namespace {

// ---------------------------------------------------------------------------------------------
// The panel's labels act on the release over them, wherever the press was.

struct ReleaseCase {
    const char* name;  // for the test name
    std::string_view label;
    std::vector<std::string_view> clicksBefore;  // after the panel is opened
    void (*expect)(PrankTest&);
};

void PrintTo(const ReleaseCase& c, std::ostream* os) { *os << c.label; }

class ReleaseAlone : public PrankTest, public ::testing::WithParamInterface<ReleaseCase> {};

TEST_P(ReleaseAlone, IsEnoughForThePanelsLabels) {
    tk::Window& d = desktop();
    doubleClickToolIcon(d);
    pump();
    for (std::string_view name : GetParam().clicksBefore) {
        clickOn(d, name);
        pump();
    }
    ASSERT_TRUE(d.control(GetParam().label).shown());

    press(d, kBareDesktop);
    releaseOn(d, GetParam().label);
    pump();
    GetParam().expect(*this);
}

INSTANTIATE_TEST_SUITE_P(
    PanelLabels, ReleaseAlone,
    ::testing::Values(
        ReleaseCase{"CloseBox", "标签4", {},
                    [](PrankTest& t) {
                        for (std::string_view name : kPanelSet) {
                            SCOPED_TRACE(std::string(name));
                            EXPECT_FALSE(t.desktop().control(name).shown());
                        }
                    }},
        ReleaseCase{"CheckNext", "标签5", {},
                    [](PrankTest& t) { EXPECT_EQ(PrankTest::panelPages(t.desktop()).currentPage(), 1); }},
        ReleaseCase{"ChoiceNext", "标签6", {"标签5", "单选框9"},
                    [](PrankTest& t) {
                        EXPECT_EQ(PrankTest::panelPages(t.desktop()).currentPage(), 2);
                        EXPECT_EQ(chosenFamily, kFamilyTen);
                    }},
        ReleaseCase{"RestartNow", "标签7", {"标签5", "单选框9", "标签6"},
                    [](PrankTest& t) {
                        ASSERT_NE(t.completion(), nullptr);
                        EXPECT_EQ(t.toolkit().windows().size(), 1u) << "the desktop went";
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// The start button, 标签1: red from a press on it to a release on it.

// "red" or "black" when the text colour and the painted text agree, otherwise what each says.
std::string startLook(const tk::Window& d) {
    const tk::Control& start = d.control("标签1");
    auto reddish = [](std::uint32_t c) { return red(c) >= 0xC0 && green(c) <= 0x60 && blue(c) <= 0x60; };
    auto dark = [](std::uint32_t c) { return red(c) <= 0x60 && green(c) <= 0x60 && blue(c) <= 0x60; };
    const bool paintedRed = findPixel(d, start.bounds(), reddish).has_value();
    const bool paintedBlack = findPixel(d, start.bounds(), dark).has_value();
    const std::string colour = start.textColor() == 0xFF0000 ? "red" : start.textColor() == 0 ? "black" : "other";
    const std::string painted = paintedRed && !paintedBlack ? "red" : paintedBlack && !paintedRed ? "black" : "mixed";
    return colour == painted ? colour : colour + " painted " + painted;
}

TEST_F(PrankTest, StartButtonDoubleClickedReddensForTheFirstPressOnly) {
    tk::Window& d = desktop();
    const tk::Point start = centre(d, "标签1");
    std::vector<std::string> looks;
    press(d, start, 1);
    pump();
    looks.push_back(startLook(d));
    release(d, start);
    pump();
    looks.push_back(startLook(d));
    press(d, start, 2);
    pump();
    looks.push_back(startLook(d));
    release(d, start);
    pump();
    looks.push_back(startLook(d));
    EXPECT_EQ(looks, (std::vector<std::string>{"red", "black", "black", "black"}));
}

TEST_F(PrankTest, StartButtonStaysRedUntilAReleaseOverIt) {
    tk::Window& d = desktop();
    pressOn(d, "标签1");
    release(d, kBareDesktop);
    pump();
    EXPECT_EQ(startLook(d), "red") << "after a release on the bare desktop";
    press(d, kBareDesktop);
    releaseOn(d, "标签2");  // the taskbar next to it
    pump();
    EXPECT_EQ(startLook(d), "red") << "after a release on the taskbar";
    press(d, kBareDesktop);
    releaseOn(d, "标签1");
    pump();
    EXPECT_EQ(startLook(d), "black");
}

// ---------------------------------------------------------------------------------------------
// The panel itself

TEST_F(PrankTest, DoubleClickingTheToolIconOverAnOpenPanelChangesNothing) {
    tk::Window& d = desktop();
    doubleClickToolIcon(d);
    pump();
    clickThrough(d, {"标签5", "单选框5"});
    ASSERT_TRUE(d.control("单选框5").isChecked());
    const tk::Control* focus = d.focus();
    platform().forgetPresented();

    doubleClickToolIcon(d);
    pump();

    for (const tk::Rect& r : platform().presented(d.nativeId()))
        EXPECT_FALSE(r.intersects(d.clientRect())) << "repainted " << r.x << "," << r.y << " " << r.width << "x"
                                                   << r.height;
    EXPECT_EQ(panelPages(d).currentPage(), 1);
    EXPECT_TRUE(d.control("单选框5").isChecked());
    EXPECT_EQ(d.focus(), focus);
}

class PanelReopens : public PrankTest, public ::testing::WithParamInterface<int> {};

TEST_P(PanelReopens, OnThePageItWasClosedOn) {
    // A control that only that page shows.
    constexpr std::string_view kOnPage[] = {"标签5", "单选框1", "标签7"};
    const int page = GetParam();
    tk::Window& d = desktop();
    doubleClickToolIcon(d);
    if (page != 0) clickTab(d, page);
    pump();
    clickThrough(d, {"标签4"});
    ASSERT_FALSE(d.control("高级选择夹1").shown());
    ASSERT_FALSE(d.control(kOnPage[page]).shown());

    doubleClickToolIcon(d);
    pump();
    EXPECT_EQ(panelPages(d).currentPage(), page);
    EXPECT_TRUE(d.control(kOnPage[page]).shown());
    EXPECT_TRUE(d.control("标签3").shown()) << "the panel's backdrop";
    EXPECT_TRUE(d.control("标签4").shown()) << "the panel's close box";
}

INSTANTIATE_TEST_SUITE_P(Pages, PanelReopens, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return "Page" + std::to_string(info.param); });

// ---------------------------------------------------------------------------------------------
// Cycles after cycles

struct TwoCycles {
    const char* name;
    std::string_view first;
    std::string_view second;
    std::int32_t family;  // of the second
};

void PrintTo(const TwoCycles& c, std::ostream* os) { *os << c.first << " then " << c.second; }

class SecondCycle : public PrankTest, public ::testing::WithParamInterface<TwoCycles> {};

TEST_P(SecondCycle, ReplacesTheWallpaperOfTheFirst) {
    runCycle(GetParam().first);
    tk::Window& after = runCycle(GetParam().second);
    EXPECT_EQ(chosenFamily, GetParam().family);
    EXPECT_EQ(describe(sampleWallpaper(after)), describe(referenceWallpaper(GetParam().family)));
    EXPECT_EQ(toolkit().windows().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Choices, SecondCycle,
                         ::testing::Values(TwoCycles{"EightThenTen", "单选框7", "单选框13", kFamilyTen},
                                           TwoCycles{"TenThenSeven", "单选框10", "单选框1", kFamilySeven},
                                           TwoCycles{"SevenThenEight", "单选框4", "单选框8", kFamilyEight}),
                         [](const auto& info) { return std::string(info.param.name); });

// Reaching the last page by its tab skips 标签6, where the choice is read: the pass then
// restarts into the family chosen before.
struct Skipped {
    const char* name;
    std::string_view before;  // the edition of an earlier cycle; empty: none
    std::int32_t family;
};

void PrintTo(const Skipped& c, std::ostream* os) { *os << (c.before.empty() ? "no earlier cycle" : c.before); }

class ChoiceNeverRead : public PrankTest, public ::testing::WithParamInterface<Skipped> {};

TEST_P(ChoiceNeverRead, KeepsTheFamilyChosenBefore) {
    if (!GetParam().before.empty()) runCycle(GetParam().before);
    tk::Window& d = desktop();
    doubleClickToolIcon(d);
    pump();
    clickThrough(d, {"标签5", "单选框11"});
    clickTab(d, 2);
    pump();
    ASSERT_TRUE(d.control("单选框11").isChecked());
    clickThrough(d, {"标签7"});
    tk::Window* finish = completion();
    ASSERT_NE(finish, nullptr);
    clickOn(*finish, "标签3");
    pump();

    EXPECT_EQ(chosenFamily, GetParam().family);
    EXPECT_EQ(describe(sampleWallpaper(desktop())), describe(referenceWallpaper(GetParam().family)));
    EXPECT_TRUE(platform().messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Earlier, ChoiceNeverRead,
                         ::testing::Values(Skipped{"NoEarlierCycle", "", kFamilySeven},
                                           Skipped{"AfterEight", "单选框6", kFamilyEight}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace quillon::test
