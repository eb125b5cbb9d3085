// The finish link 标签3: releasing the mouse over it hands the program over to a fresh desktop.

#include <gtest/gtest.h>

#include <string>

#include "completion_fixture.h"
#include "desktop/desktop_window.h"

namespace quillon::test {
namespace {

constexpr tk::Point kOnLink = {820, 580};       // 标签3 (770,572 160x16)
constexpr tk::Point kOnPanel = {300, 300};      // 标签1, the grey panel
constexpr tk::Point kOnBackground = {20, 580};  // no control

struct Gesture {
    const char* name;
    tk::Point pressAt;
    tk::Point releaseAt;
    bool handsOver;
};

class FinishLink : public CompletionTest, public ::testing::WithParamInterface<Gesture> {};

TEST_P(FinishLink, HandsOverOnlyWhenReleasedOverIt) {
    const Gesture& g = GetParam();
    press(completion(), g.pressAt);
    toolkit().processPending();
    ASSERT_FALSE(toolkit().windows().empty());
    release(completion(), g.releaseAt);
    toolkit().processPending();

    const auto windows = toolkit().windows();
    ASSERT_EQ(windows.size(), 1u);
    if (g.handsOver) {
        EXPECT_FALSE(completionAlive());
        EXPECT_EQ(&windows.front()->definition(), &desktopWindow());
        // A fresh desktop: the panel is hidden again.
        EXPECT_FALSE(windows.front()->control("高级选择夹1").shown());
    } else {
        EXPECT_TRUE(completionAlive());
    }
}

INSTANTIATE_TEST_SUITE_P(Completion, FinishLink,
                         ::testing::Values(Gesture{"ClickOnTheLink", kOnLink, kOnLink, true},
                                           Gesture{"PressElsewhereReleaseOnTheLink", kOnBackground, kOnLink, true},
                                           Gesture{"PressOnThePanelReleaseOnTheLink", kOnPanel, kOnLink, true},
                                           Gesture{"PressOnTheLinkReleaseElsewhere", kOnLink, kOnBackground, false},
                                           Gesture{"ClickElsewhere", kOnPanel, kOnPanel, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The new desktop is up before the completion window goes, so the program never runs out of
// windows (which would end it).
TEST_F(CompletionTest, NewDesktopIsLoadedBeforeTheCompletionWindowGoes) {
    // Straight to the window, so that the handler's effect is seen before the loop tidies up.
    completion().handle({.type = tk::InputType::MouseUp,
                         .window = completion().nativeId(),
                         .pos = outer(completion(), kOnLink),
                         .button = 1});
    auto windows = toolkit().windows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows.front(), &completion());
    EXPECT_EQ(&windows.back()->definition(), &desktopWindow());

    toolkit().processPending();
    windows = toolkit().windows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(&windows.front()->definition(), &desktopWindow());
}

}  // namespace
}  // namespace quillon::test
