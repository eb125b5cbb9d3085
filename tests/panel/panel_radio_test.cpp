// The fourteen editions on the panel's second page: one exclusive group, checked by the mouse or
// the keyboard, and a single stop for Tab.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "panel_fixture.h"

namespace quillon::test {
namespace {

class EditionGroup : public PanelTest {
protected:
    void SetUp() override {
        PanelTest::SetUp();
        if (HasFatalFailure()) return;
        tabs().setCurrentPage(1);
        toolkit().processPending();
    }
    tk::Point centreOf(int n) {
        const tk::Rect b = desktop().control(radioName(n)).bounds();
        return {b.x + b.width / 2, b.y + b.height / 2};
    }
    // The middle of the radio mark, white when clear and black when checked.
    std::uint32_t markCentre(int n) {
        const tk::Rect b = desktop().control(radioName(n)).bounds();
        return clientPixel(desktop(), {b.x + 6, b.y + 15});
    }
};

struct MouseCase {
    const char* name;
    std::vector<int> clicked;  // pressed and released on, in turn
    std::vector<std::string> checked;
};

class EditionsByMouse : public EditionGroup, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(EditionsByMouse, LeaveOnlyTheLastClickedChecked) {
    for (int n : GetParam().clicked) click(desktop(), centreOf(n));
    toolkit().processPending();
    EXPECT_EQ(checkedRadios(), GetParam().checked);
    EXPECT_EQ(focusName(), radioName(GetParam().clicked.back()));
    for (int n = 1; n <= 14; ++n) {
        SCOPED_TRACE(radioName(n));
        const bool checked = GetParam().checked.front() == radioName(n);
        EXPECT_EQ(hex(markCentre(n)), hex(checked ? 0x000000 : 0xFFFFFF));
    }
}

INSTANTIATE_TEST_SUITE_P(Panel, EditionsByMouse,
                         ::testing::Values(MouseCase{"ThreeThenTwelve", {3, 12}, {"单选框12"}},
                                           MouseCase{"TwelveThenThree", {12, 3}, {"单选框3"}},
                                           MouseCase{"SameTwice", {5, 5}, {"单选框5"}},
                                           MouseCase{"AcrossColumnsAndRows", {1, 14, 8}, {"单选框8"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditionGroup, ReleaseOffTheButtonFocusesWithoutChecking) {
    click(desktop(), centreOf(3));
    press(desktop(), centreOf(7));
    release(desktop(), onTabs({300, 20}));  // the tab strip
    toolkit().processPending();
    EXPECT_EQ(focusName(), "单选框7");
    EXPECT_EQ(checkedRadios(), std::vector<std::string>{"单选框3"});
    // Not left drawn pressed: the mark is white again.
    EXPECT_EQ(hex(markCentre(7)), hex(0xFFFFFF));
}

struct KeyCase {
    const char* name;
    std::vector<tk::Key> keys;
    int landsOn;  // focused and checked afterwards
};

class EditionsByKeyboard : public EditionGroup, public ::testing::WithParamInterface<KeyCase> {};

// The group runs in stacking order, 单选框14 first, and wraps at both ends.
TEST_P(EditionsByKeyboard, MoveTheFocusAndTheCheckTogether) {
    ASSERT_EQ(focusName(), "单选框14");
    for (tk::Key k : GetParam().keys) keyToDesktop(k);
    toolkit().processPending();
    EXPECT_EQ(focusName(), radioName(GetParam().landsOn));
    EXPECT_EQ(checkedRadios(), std::vector<std::string>{radioName(GetParam().landsOn)});
}

std::vector<tk::Key> repeat(tk::Key k, int times) { return std::vector<tk::Key>(static_cast<std::size_t>(times), k); }

INSTANTIATE_TEST_SUITE_P(
    Panel, EditionsByKeyboard,
    ::testing::Values(KeyCase{"SpaceChecksTheFocused", {tk::Key::Space}, 14},
                      KeyCase{"DownGoesToTheNext", {tk::Key::Down}, 13},
                      KeyCase{"RightGoesToTheNext", {tk::Key::Right}, 13},
                      KeyCase{"DownTwice", {tk::Key::Down, tk::Key::Down}, 12},
                      KeyCase{"UpComesBack", {tk::Key::Down, tk::Key::Up}, 14},
                      KeyCase{"LeftComesBack", {tk::Key::Down, tk::Key::Down, tk::Key::Left}, 13},
                      KeyCase{"UpFromTheFirstWrapsToTheLast", {tk::Key::Up}, 1},
                      KeyCase{"DownToTheLast", repeat(tk::Key::Down, 13), 1},
                      KeyCase{"DownFromTheLastWrapsToTheFirst", repeat(tk::Key::Down, 14), 14},
                      KeyCase{"SpaceAfterMovingKeepsTheCheck", {tk::Key::Down, tk::Key::Space}, 13}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditionGroup, TabStaysOnTheGroupsOneStop) {
    // The group is the only stop on the desktop: Tab and Shift+Tab keep the focus on it.
    keyToDesktop(tk::Key::Tab);
    toolkit().processPending();
    EXPECT_EQ(focusName(), "单选框14");
    EXPECT_TRUE(checkedRadios().empty()) << "Tab checked " << checkedRadios().front();

    click(desktop(), centreOf(12));
    toolkit().processPending();
    for (tk::KeyMods mods : {tk::KeyMods{}, tk::KeyMods{.shift = true}}) {
        keyToDesktop(tk::Key::Tab, mods);
        toolkit().processPending();
        EXPECT_EQ(focusName(), "单选框12");
    }

    // From an unchecked button, Tab goes to the group's stop: the checked one.
    press(desktop(), centreOf(5));
    release(desktop(), onTabs({300, 20}));
    toolkit().processPending();
    ASSERT_EQ(focusName(), "单选框5");
    keyToDesktop(tk::Key::Tab);
    toolkit().processPending();
    EXPECT_EQ(focusName(), "单选框12");
    EXPECT_EQ(checkedRadios(), std::vector<std::string>{"单选框12"});
}

// Two groups side by side: the radio buttons on the window itself and those on a tab control's
// page. Each group is one Tab stop, its checked button when it has one.
constexpr std::string_view kTwoPages[] = {"一", "二"};
const tk::ControlDef kTwoGroups[] = {
    {.name = "甲1", .kind = tk::Kind::RadioBox, .place = {10, 10, 100, 20}, .takesFocus = true, .text = "甲1"},
    {.name = "甲2", .kind = tk::Kind::RadioBox, .place = {10, 40, 100, 20}, .takesFocus = true, .text = "甲2"},
    {.name = "夹", .kind = tk::Kind::PageControl, .place = {150, 10, 200, 150}, .pages = kTwoPages},
    {.name = "乙1", .kind = tk::Kind::RadioBox, .place = {10, 30, 100, 20}, .parent = "夹", .takesFocus = true, .text = "乙1"},
    {.name = "乙2", .kind = tk::Kind::RadioBox, .place = {10, 60, 100, 20}, .parent = "夹", .takesFocus = true, .text = "乙2"},
    {.name = "乙3", .kind = tk::Kind::RadioBox, .place = {10, 90, 100, 20}, .parent = "夹", .takesFocus = true, .text = "乙3"},
};
const tk::WindowDef kTwoGroupsWindow{.caption = "groups", .outerSize = {400, 220}, .controls = kTwoGroups};

class TwoGroups : public ToolkitTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(TwoGroups, TabGoesFromGroupToGroupAndBackToTheCheckedButton) {
    tk::Window& w = toolkit().loadWindow(kTwoGroupsWindow);
    toolkit().processPending();
    auto centre = [&](std::string_view name) {
        const tk::Rect b = w.control(name).bounds();
        return tk::Point{b.x + b.width / 2, b.y + b.height / 2};
    };
    const std::string otherChecked = GetParam();
    if (!otherChecked.empty()) click(w, centre(otherChecked));
    click(w, centre("乙2"));
    toolkit().processPending();
    ASSERT_EQ(w.focus(), &w.control("乙2"));

    const std::string otherStop = otherChecked.empty() ? "甲1" : otherChecked;
    key(tk::Key::Tab, {}, w.nativeId());
    toolkit().processPending();
    EXPECT_EQ(w.focus()->name(), otherStop);
    key(tk::Key::Tab, {.shift = true}, w.nativeId());
    toolkit().processPending();
    EXPECT_EQ(w.focus()->name(), "乙2");
    key(tk::Key::Tab, {}, w.nativeId());
    key(tk::Key::Tab, {}, w.nativeId());
    toolkit().processPending();
    EXPECT_EQ(w.focus()->name(), "乙2");

    // Tab only moves: the checks stay where they were.
    EXPECT_TRUE(w.control("乙2").isChecked());
    for (std::string_view name : {"甲1", "甲2"}) EXPECT_EQ(w.control(name).isChecked(), name == otherChecked) << name;
}

INSTANTIATE_TEST_SUITE_P(Panel, TwoGroups, ::testing::Values("", "甲2"),
                         [](const auto& info) { return std::string(*info.param ? "OtherGroupChecked" : "OtherGroupClear"); });

}  // namespace
}  // namespace quillon::test
