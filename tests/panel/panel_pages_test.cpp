// Switching the panel's pages: what is on screen afterwards, where the keyboard focus goes,
// and what showing the panel again keeps.

#include <gtest/gtest.h>

#include <string>

#include "panel_fixture.h"

namespace quillon::test {
namespace {

enum class Via { SetCurrentPage, TabPress };

struct Switch {
    Via via;
    int from;
    int to;
};

std::string switchName(const ::testing::TestParamInfo<Switch>& info) {
    const Switch& s = info.param;
    return std::string(s.via == Via::SetCurrentPage ? "SetCurrentPage" : "TabPress") + "_" + std::to_string(s.from) +
           "_to_" + std::to_string(s.to);
}

class PageSwitch : public PanelTest, public ::testing::WithParamInterface<Switch> {
protected:
    void select(Via via, int page) {
        if (via == Via::SetCurrentPage) {
            tabs().setCurrentPage(page);
            toolkit().processPending();
        } else {
            clickTab(page);
        }
    }
};

TEST_P(PageSwitch, ShowsOnlyTheNewPageAndMovesTheFocus) {
    const Switch s = GetParam();
    if (s.from != tabs().currentPage()) select(Via::SetCurrentPage, s.from);
    ASSERT_EQ(tabs().currentPage(), s.from);

    select(s.via, s.to);
    EXPECT_EQ(tabs().currentPage(), s.to);
    for (int page = 0; page < 3; ++page)
        for (std::string_view name : pageControls(page)) {
            SCOPED_TRACE(std::string(name) + " on page " + std::to_string(page));
            EXPECT_EQ(desktop().control(name).shown(), page == s.to);
        }

    if (s.to == 1) {
        // The edition page gives the focus to its first radio button without choosing it.
        EXPECT_EQ(focusName(), "单选框14");
        EXPECT_TRUE(checkedRadios().empty());
    } else {
        const tk::Control* focus = desktop().focus();
        EXPECT_TRUE(focus == nullptr || focus->shown()) << "the focus stays on hidden " << focus->name();
    }
}

INSTANTIATE_TEST_SUITE_P(Panel, PageSwitch,
                         ::testing::Values(Switch{Via::SetCurrentPage, 0, 1}, Switch{Via::SetCurrentPage, 0, 2},
                                           Switch{Via::SetCurrentPage, 1, 0}, Switch{Via::SetCurrentPage, 1, 2},
                                           Switch{Via::SetCurrentPage, 2, 0}, Switch{Via::SetCurrentPage, 2, 1},
                                           Switch{Via::TabPress, 0, 1}, Switch{Via::TabPress, 0, 2},
                                           Switch{Via::TabPress, 1, 0}, Switch{Via::TabPress, 1, 2},
                                           Switch{Via::TabPress, 2, 0}, Switch{Via::TabPress, 2, 1}),
                         switchName);

class SelectingTheCurrentPage : public PageSwitch {};

// Selecting the page already shown neither repaints nor takes the focus back to the page's
// first control.
TEST_P(SelectingTheCurrentPage, ChangesNothing) {
    const Via via = GetParam().via;
    const int page = GetParam().to;
    tabs().setCurrentPage(page);
    toolkit().processPending();
    if (page == 1) {
        keyToDesktop(tk::Key::Down);  // the focus and the check move on to 单选框13
        toolkit().processPending();
        ASSERT_EQ(focusName(), "单选框13");
    }
    const std::string focusBefore = focusName();
    const auto checkedBefore = checkedRadios();
    ASSERT_FALSE(desktop().needsPaint());

    if (via == Via::SetCurrentPage) {
        tabs().setCurrentPage(page);
    } else {
        // Straight to the window, so that nothing paints before the check below.
        desktop().handle({.type = tk::InputType::MouseDown,
                          .window = desktop().nativeId(),
                          .pos = outer(desktop(), tabCentre(page)),
                          .button = 1});
    }
    EXPECT_FALSE(desktop().needsPaint());
    EXPECT_EQ(tabs().currentPage(), page);
    EXPECT_EQ(focusName(), focusBefore);
    EXPECT_EQ(checkedRadios(), checkedBefore);
}

INSTANTIATE_TEST_SUITE_P(Panel, SelectingTheCurrentPage,
                         ::testing::Values(Switch{Via::SetCurrentPage, 0, 0}, Switch{Via::SetCurrentPage, 1, 1},
                                           Switch{Via::SetCurrentPage, 2, 2}, Switch{Via::TabPress, 0, 0},
                                           Switch{Via::TabPress, 1, 1}, Switch{Via::TabPress, 2, 2}),
                         switchName);

class PanelShownAgain : public PanelTest, public ::testing::WithParamInterface<int> {};

// The panel is shown by making its five controls visible; the check page's controls among them
// stay off screen while another page is current.
TEST_P(PanelShownAgain, KeepsTheCurrentPageAndHidesTheCheckPage) {
    const int page = GetParam();
    if (page == 1) {
        click(desktop(), onTabs({419 + 48, 282 + 16}));  // 标签5, "下一步"
    } else {
        tabs().setCurrentPage(page);
    }
    toolkit().processPending();
    ASSERT_EQ(tabs().currentPage(), page);

    click(desktop(), {757, 104});  // 标签4, the close mark
    toolkit().processPending();
    ASSERT_FALSE(tabs().shown());
    openPanel();

    EXPECT_EQ(tabs().currentPage(), page);
    EXPECT_TRUE(tabs().shown());
    EXPECT_FALSE(desktop().control("透明标签3").shown());
    EXPECT_FALSE(desktop().control("标签5").shown());
    for (std::string_view name : pageControls(page)) {
        SCOPED_TRACE(std::string(name));
        EXPECT_TRUE(desktop().control(name).shown());
    }
    // Where 标签5's blue face would be, the page shows through.
    EXPECT_EQ(hex(clientPixel(desktop(), onTabs({510, 284}))), hex(0xFCFCFE));
    const tk::Control* focus = desktop().focus();
    EXPECT_TRUE(focus == nullptr || focus->shown()) << "the focus is on hidden " << focus->name();
}

INSTANTIATE_TEST_SUITE_P(Panel, PanelShownAgain, ::testing::Values(1, 2));

}  // namespace
}  // namespace quillon::test
