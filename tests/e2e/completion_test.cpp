// The completion window in the real program on a private X server: reached through the panel,
// where it appears and what it shows, its system menu, and the hand-over back to a desktop.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr Rect kCompletion{(kScreenWidth - 933) / 2, (kScreenHeight - 619) / 2, 933, 619};
constexpr Rect kDesktop{(kScreenWidth - 999) / 2, (kScreenHeight - 633) / 2, 999, 633};
constexpr uint32_t kFace = 0xD4D0C8;

std::string screenshotDir() { return (std::filesystem::path(QUILLON_BINARY).parent_path() / "screenshots").string(); }

std::string hex(uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb);
    return text;
}

class CompletionE2E : public ::testing::Test {
protected:
    CompletionE2E() : x_(XServer::Options{.width = kScreenWidth, .height = kScreenHeight}) {}

    // Starts the program and walks through the panel to the completion window.
    void SetUp() override {
        ASSERT_TRUE(x_.ok()) << x_.error() << "\n" << x_.server().log();
        app_ = std::make_unique<App>(x_, QUILLON_BINARY);
        ASSERT_TRUE(app_->ok()) << app_->error();
        const std::optional<WindowId> desktop = x_.findWindow(app_->pid());
        ASSERT_TRUE(desktop) << "no window; stderr:\n" << app_->stderrText();
        const std::optional<Rect> g = x_.geometry(*desktop);
        ASSERT_TRUE(g);
        x_.settle();

        auto clickAt = [&](int clientX, int clientY) {
            return x_.click(g->x + 3 + clientX, g->y + 22 + clientY);
        };
        auto onTabs = [&](int x, int y) { return clickAt(239 + x, 126 + y); };
        ASSERT_TRUE(x_.doubleClick(g->x + 3 + 40, g->y + 22 + 20));  // the first icon
        ASSERT_TRUE(x_.settle());
        ASSERT_TRUE(onTabs(419 + 48, 282 + 16));  // 标签5, "下一步"
        ASSERT_TRUE(onTabs(18 + 60, 42 + 16));    // 单选框1
        ASSERT_TRUE(onTabs(445 + 40, 290 + 16));  // 标签6, "下一步"
        ASSERT_TRUE(onTabs(401 + 52, 274 + 20));  // 标签7, "立即重启"

        ASSERT_TRUE(waitUntil([&] { return onlyWindowIs(933); }, 5s))
            << windowList() << "stderr:\n" << app_->stderrText();
        win_ = x_.listWindows(app_->pid()).front();
        x_.settle();
    }

    bool onlyWindowIs(int width) {
        const auto windows = x_.listWindows(app_->pid());
        return windows.size() == 1 && windows.front().geometry.width == width;
    }
    std::string windowList() {
        std::string text = "windows:";
        for (const auto& w : x_.listWindows(app_->pid()))
            text += " " + std::to_string(w.geometry.width) + "x" + std::to_string(w.geometry.height);
        return text + "\n";
    }
    Point client(int x, int y) const { return {win_.geometry.x + 3 + x, win_.geometry.y + 22 + y}; }
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
    EXPECT_TRUE(savePng(shot, screenshotDir() + "/e2e_completion.png", &error)) << error;
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
        EXPECT_EQ(hex(pixelAt(shot, client(p.client.x, p.client.y))), hex(p.expected));
    }
}

TEST_F(CompletionE2E, SystemMenuFromTheCaptionIconClosesTheWindow) {
    ASSERT_TRUE(x_.click(win_.geometry.x + 12, win_.geometry.y + 11));
    const auto windows = x_.waitForWindows(app_->pid(), 2, 3s);
    ASSERT_EQ(windows.size(), 2u) << "no menu";
    const Rect menu = windows.back().id == win_.id ? windows.front().geometry : windows.back().geometry;
    // Under the caption icon, at the client area's corner.
    EXPECT_EQ((Point{menu.x, menu.y}), (Point{win_.geometry.x + 3, win_.geometry.y + 22}));
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
    const Point link = client(820, 580);
    ASSERT_TRUE(x_.click(link.x, link.y));
    ASSERT_TRUE(waitUntil([&] { return onlyWindowIs(999); }, 5s)) << windowList();
    const auto windows = x_.listWindows(app_->pid());
    EXPECT_EQ(windows.front().geometry, kDesktop);
    EXPECT_FALSE(x_.isViewable(win_.id));
    EXPECT_TRUE(app_->running());
    x_.settle();
    const Image shot = x_.screenshot();
    std::string error;
    EXPECT_TRUE(savePng(shot, screenshotDir() + "/e2e_completion_fresh_desktop.png", &error)) << error;
    // The panel is closed on the new desktop: no grey face where it stood.
    const Point panel{kDesktop.x + 3 + 500, kDesktop.y + 22 + 460};
    EXPECT_NE(hex(pixelAt(shot, panel)), hex(0xECECEC));
}

TEST_F(CompletionE2E, EscapeEndsTheProgram) {
    ASSERT_TRUE(x_.focus(win_.id));
    ASSERT_TRUE(x_.key("Escape"));
    EXPECT_EQ(app_->waitExit(5s), std::optional<int>(0)) << app_->stderrText();
}

}  // namespace
}  // namespace quillon::e2e
