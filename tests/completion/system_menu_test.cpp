// The title bar's system menu, on the completion window: opening it, closing it, and what each
// of its lines does.

#include <gtest/gtest.h>

#include <string>

#include "completion_fixture.h"

namespace quillon::test {
namespace {

constexpr tk::Point kIcon = {12, 11};  // the caption icon, outer (5..20, 4..19)

class SystemMenuTest : public CompletionTest {
protected:
    void pressIcon(int clicks = 1) {
        toolkit().post({.type = tk::InputType::MouseDown,
                        .window = completion().nativeId(),
                        .pos = kIcon,
                        .button = 1,
                        .clicks = clicks});
        toolkit().post({.type = tk::InputType::MouseUp, .window = completion().nativeId(), .pos = kIcon, .button = 1});
    }
    void openByIcon() {
        pressIcon();
        toolkit().processPending();
        ASSERT_NE(toolkit().systemMenu(), nullptr) << "the menu did not open";
    }
    void keyToOwner(tk::Key k, tk::KeyMods mods = {}, char letter = 0) {
        toolkit().post({.type = tk::InputType::Key, .window = completion().nativeId(), .key = k, .letter = letter, .mods = mods});
    }
    void letter(char c) { keyToOwner(tk::Key::Other, {}, c); }
    tk::Point position() { return toolkit().platform().windowPosition(completion().nativeId()); }
};

TEST_F(SystemMenuTest, IconClickOpensAPopupUnderTheIcon) {
    ASSERT_EQ(toolkit().systemMenu(), nullptr);
    openByIcon();
    const tk::SystemMenu* menu = toolkit().systemMenu();
    EXPECT_EQ(&menu->owner(), &completion());
    const auto windows = toolkit().windows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_TRUE(menu->popup().definition().popup);
    // Under the caption icon: at the client area's top-left corner.
    const tk::Point underIcon = position() + tk::kClientOrigin;
    EXPECT_EQ(toolkit().platform().windowPosition(menu->popup().nativeId()), underIcon);
}

TEST_F(SystemMenuTest, AltSpaceOpensIt) {
    keyToOwner(tk::Key::Space, {.alt = true});
    toolkit().processPending();
    ASSERT_NE(toolkit().systemMenu(), nullptr);
    EXPECT_EQ(&toolkit().systemMenu()->owner(), &completion());
}

enum class Dismiss { Escape, PressOnTheClient, PressOnTheCaption };

class MenuDismissal : public SystemMenuTest, public ::testing::WithParamInterface<Dismiss> {};

// Dismissing the menu closes only the menu: the window and the program stay.
TEST_P(MenuDismissal, ClosesTheMenuAndKeepsTheWindow) {
    openByIcon();
    switch (GetParam()) {
        case Dismiss::Escape: keyToOwner(tk::Key::Escape); break;
        case Dismiss::PressOnTheClient: click(completion(), {300, 300}); break;
        case Dismiss::PressOnTheCaption: clickOuter(completion(), {400, 10}); break;
    }
    toolkit().processPending();
    EXPECT_EQ(toolkit().systemMenu(), nullptr);
    ASSERT_EQ(toolkit().windows().size(), 1u);
    EXPECT_TRUE(completionAlive());
}

INSTANTIATE_TEST_SUITE_P(Completion, MenuDismissal,
                         ::testing::Values(Dismiss::Escape, Dismiss::PressOnTheClient, Dismiss::PressOnTheCaption));

struct Line {
    const char* name;
    char letter;
    bool menuStaysOpen;
    bool windowCloses;
};

class MenuLine : public SystemMenuTest, public ::testing::WithParamInterface<Line> {};

TEST_P(MenuLine, LetterChoosesTheLineIfItIsEnabled) {
    const Line& l = GetParam();
    openByIcon();
    letter(l.letter);
    toolkit().processPending();
    EXPECT_EQ(toolkit().systemMenu() != nullptr, l.menuStaysOpen);
    EXPECT_EQ(completionAlive(), !l.windowCloses);
    EXPECT_EQ(toolkit().windows().size(), static_cast<std::size_t>(l.windowCloses ? 0 : l.menuStaysOpen ? 2 : 1));
}

INSTANTIATE_TEST_SUITE_P(Completion, MenuLine,
                         ::testing::Values(Line{"CloseC", 'c', false, true}, Line{"MinimiseN", 'n', false, false},
                                           Line{"MoveM", 'm', false, false}, Line{"DisabledRestoreR", 'r', true, false},
                                           Line{"DisabledSizeS", 's', true, false},
                                           Line{"DisabledMaximiseX", 'x', true, false},
                                           Line{"NoSuchLetterQ", 'q', true, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SystemMenuTest, ClickOnCloseLineClosesTheWindow) {
    openByIcon();
    const tk::Window& popup = toolkit().systemMenu()->popup();
    // 关闭 is the last line, under the separator: y 102..119 of the popup.
    const tk::Point onClose{20, 110};
    toolkit().post({.type = tk::InputType::MouseMove, .window = popup.nativeId(), .pos = onClose});
    toolkit().post({.type = tk::InputType::MouseDown, .window = popup.nativeId(), .pos = onClose, .button = 1});
    toolkit().post({.type = tk::InputType::MouseUp, .window = popup.nativeId(), .pos = onClose, .button = 1});
    toolkit().processPending();
    EXPECT_TRUE(toolkit().windows().empty());
}

TEST_F(SystemMenuTest, ArrowsAndEnterChooseALine) {
    openByIcon();
    // Down stops on the enabled lines only: 移动, 最小化, 关闭. Up from the top wraps to 关闭.
    keyToOwner(tk::Key::Up);
    keyToOwner(tk::Key::Enter);
    toolkit().processPending();
    EXPECT_TRUE(toolkit().windows().empty());
}

TEST_F(SystemMenuTest, DoubleClickOnTheIconClosesTheWindow) {
    openByIcon();
    toolkit().post({.type = tk::InputType::MouseDown,
                    .window = completion().nativeId(),
                    .pos = kIcon,
                    .button = 1,
                    .clicks = 2});
    toolkit().processPending();
    EXPECT_TRUE(toolkit().windows().empty());
}

TEST_F(SystemMenuTest, AltF4WhileOpenClosesTheWindow) {
    openByIcon();
    keyToOwner(tk::Key::F4, {.alt = true});
    toolkit().processPending();
    EXPECT_TRUE(toolkit().windows().empty());
}

TEST_F(SystemMenuTest, MoveStepsWithTheArrowsAndEscapeGoesBack) {
    const tk::Point start = position();
    openByIcon();
    letter('m');
    toolkit().processPending();
    ASSERT_EQ(toolkit().systemMenu(), nullptr);

    const struct {
        tk::Key key;
        tk::Point offset;  // from the start, after the key
    } steps[] = {
        {tk::Key::Right, {8, 0}}, {tk::Key::Right, {16, 0}}, {tk::Key::Down, {16, 8}},
        {tk::Key::Left, {8, 8}},  {tk::Key::Up, {8, 0}},
    };
    for (const auto& s : steps) {
        keyToOwner(s.key);
        toolkit().processPending();
        EXPECT_EQ(position(), start + s.offset);
    }
    keyToOwner(tk::Key::Escape);
    toolkit().processPending();
    EXPECT_EQ(position(), start);
    // Moving is over: Esc now closes the window as usual.
    EXPECT_TRUE(completionAlive());
    keyToOwner(tk::Key::Escape);
    toolkit().processPending();
    EXPECT_FALSE(completionAlive());
}

TEST_F(SystemMenuTest, EnterKeepsTheMovedPlace) {
    const tk::Point start = position();
    openByIcon();
    letter('m');
    keyToOwner(tk::Key::Left);
    keyToOwner(tk::Key::Up);
    keyToOwner(tk::Key::Enter);
    keyToOwner(tk::Key::Left);  // no longer moving: arrows do nothing to the window
    toolkit().processPending();
    EXPECT_EQ(position(), start + tk::Point({-8, -8}));
    EXPECT_TRUE(completionAlive());
}

}  // namespace
}  // namespace quillon::test
