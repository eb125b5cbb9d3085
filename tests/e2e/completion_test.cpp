// The completion window in the real program on a private X server: reached through the panel,
// where it appears and what it shows, its system menu, and the hand-over back to a desktop.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

constexpr Rect kCompletion = centred(kCompletionSize);
constexpr Rect kDesktop = centred(kDesktopSize);
constexpr uint32_t kFace = 0xD4D0C8;

class CompletionE2E : public ::testing::Test {
protected:
    CompletionE2E() : x_(XServer::Options{.width = kScreenWidth, .height = kScreenHeight}) {}

    // Starts the program and walks through the panel to the completion window.
    void SetUp() override {
        XSession::WindowInfo desktop;
        ASSERT_TRUE(startToDesktop(x_, QUILLON_BINARY, app_, desktop));

        auto click = [&](Point client) {
            const Point p = toScreen(desktop.geometry, client);
            return x_.click(p.x, p.y);
        };
        const Point icon = toScreen(desktop.geometry, kToolIcon);
        ASSERT_TRUE(x_.doubleClick(icon.x, icon.y));
        ASSERT_TRUE(x_.settle());
        ASSERT_TRUE(click(middle(kCheckNext)));
        ASSERT_TRUE(click(middle(edition(0, 0))));  // 单选框1
        ASSERT_TRUE(click(middle(kChoiceNext)));
        ASSERT_TRUE(click(middle(kRestartNow)));

        ASSERT_TRUE(waitForOnly(x_, *app_, Shown::Completion, win_, 5s));
        x_.settle();
    }

    std::string windowList() { return describeWindows(x_, app_->pid()) + "\n"; }
    Point client(Point p) const { return toScreen(win_.geometry, p); }
    uint32_t pixelAt(const Image& shot, Point p) const { return shot.pixel(p.x, p.y); }

    XSession x_;
    std::unique_ptr<App> app_;
    XSession::WindowInfo win_;
};

TEST_F(CompletionE2E, AppearsCentredBlackWithAGreyPanel) {
    EXPECT_EQ(win_.geometry, kCompletion);
    const Image shot = x_.screenshot();
    ASSERT_FALSE(shot.empty());
    std::string error;
    EXPECT_TRUE(savePng(shot, screenshotPath("e2e_completion.png"), &error)) << error;
    const struct {
        const char* what;
        Point client;
        uint32_t expected;
    } probes[] = {
        {"background", {10, 10}, 0x000000},
        {"background under the panel", {300, 540}, 0x000000},
        {"grey panel 标签1", {100, 300}, kFace},
        {"text box 标签2", {345, 225}, 0x000000},
        {"first block of 进度条1", {80, 480}, 0x0A246A},
        {"finish link 标签3", {771, 573}, kFace},
    };
    for (const auto& p : probes) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(hex(pixelAt(shot, client(p.client))), hex(p.expected));
    }
}

TEST_F(CompletionE2E, SystemMenuFromTheCaptionIconClosesTheWindow) {
    const Point icon = middle(kCaptionIcon);
    ASSERT_TRUE(x_.click(win_.geometry.x + icon.x, win_.geometry.y + icon.y));
    const auto windows = x_.waitForWindows(app_->pid(), 2, 3s);
    ASSERT_EQ(windows.size(), 2u) << "no menu";
    const Rect menu = windows.back().id == win_.id ? windows.front().geometry : windows.back().geometry;
    // Under the caption icon, at the client area's corner.
    EXPECT_EQ((Point{menu.x, menu.y}), client({0, 0}));
    ASSERT_TRUE(x_.settle());
    // 关闭, the last line, under the separator: the window goes, and with it the program.
    ASSERT_TRUE(x_.click(menu.x + 20, menu.y + 110));
    EXPECT_EQ(app_->waitExit(5s), std::optional<int>(0)) << windowList() << app_->stderrText();
}

// Once the menu has been open, the program must still end cleanly when its last window goes.
TEST_F(CompletionE2E, ProgramEndsWithZeroAfterTheMenuWasOpen) {
    ASSERT_TRUE(x_.focus(win_.id));
    ASSERT_TRUE(x_.key("alt+space"));
    ASSERT_EQ(x_.waitForWindows(app_->pid(), 2, 3s).size(), 2u) << "no menu";
    ASSERT_TRUE(x_.settle());
    ASSERT_TRUE(x_.key("Escape"));  // closes the menu only
    ASSERT_TRUE(waitUntil([&] { return x_.listWindows(app_->pid()).size() == 1; }, 3s)) << windowList();
    EXPECT_TRUE(app_->running());
    ASSERT_TRUE(x_.settle());
    ASSERT_TRUE(x_.key("Escape"));  // closes the window
    EXPECT_EQ(app_->waitExit(5s), std::optional<int>(0)) << app_->stderrText();
}

TEST_F(CompletionE2E, FinishLinkBringsBackAFreshDesktop) {
    const Point link = client(middle(kFinishLink));
    ASSERT_TRUE(x_.click(link.x, link.y));
    XSession::WindowInfo desktop;
    ASSERT_TRUE(waitForDesktop(x_, *app_, desktop, 5s));
    EXPECT_EQ(desktop.geometry, kDesktop);
    EXPECT_FALSE(x_.isViewable(win_.id));
    EXPECT_TRUE(app_->running());
    x_.settle();
    const Image shot = x_.screenshot();
    std::string error;
    EXPECT_TRUE(savePng(shot, screenshotPath("e2e_completion_fresh_desktop.png"), &error)) << error;
    // The panel is closed on the new desktop: no grey face where it stood.
    const Point panel = toScreen(kDesktop, {500, 460});
    EXPECT_NE(hex(pixelAt(shot, panel)), hex(0xECECEC));
}

TEST_F(CompletionE2E, EscapeEndsTheProgram) {
    ASSERT_TRUE(x_.focus(win_.id));
    ASSERT_TRUE(x_.key("Escape"));
    EXPECT_EQ(app_->waitExit(5s), std::optional<int>(0)) << app_->stderrText();
}

}  // namespace
}  // namespace quillon::e2e
