// The real program on a private X server: where its window appears, what the window manager
// learns about it, the ways to close it, moving it by its title bar, and starting it without
// any display.

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "quillon_screen.h"
#include "x_session.h"

#ifndef QUILLON_BINARY
#error "QUILLON_BINARY must name the built program"
#endif

namespace quillon::e2e {
namespace {

class DesktopE2E : public ::testing::Test {
protected:
    DesktopE2E() : x_(XServer::Options{.width = kScreenWidth, .height = kScreenHeight}) {}

    void SetUp() override {
        XSession::WindowInfo desktop;
        ASSERT_TRUE(startToDesktop(x_, QUILLON_BINARY, app_, desktop));
        win_ = desktop.id;
        geometry_ = desktop.geometry;
    }

    // Waits for the program to end by itself; nullopt if it is still running.
    std::optional<int> exitCode() { return app_->waitExit(10s); }

    XSession x_;
    std::unique_ptr<App> app_;
    WindowId win_ = 0;
    Rect geometry_;
};

TEST_F(DesktopE2E, WindowIsCentredAtItsSize) {
    EXPECT_EQ(geometry_, centred(kDesktopSize));
    EXPECT_TRUE(x_.isViewable(win_));
}

TEST_F(DesktopE2E, WindowManagerSeesClassAndCaption) {
    const std::optional<std::string> cls = x_.wmClass(win_);
    ASSERT_TRUE(cls);
    EXPECT_EQ(cls->substr(0, cls->find('.')), "quillon") << *cls;
    EXPECT_EQ(x_.windowName(win_), std::optional<std::string>(kDesktopCaption));
}

TEST_F(DesktopE2E, PaintsTheDesktopAndSavesAScreenshot) {
    const Image shot = x_.screenshot();
    ASSERT_FALSE(shot.empty());
    std::string error;
    EXPECT_TRUE(savePng(shot, screenshotPath("e2e_desktop.png"), &error)) << error;
    // The taskbar (client 48,576 944x32).
    const Point taskbar = toScreen(geometry_, {500, 590});
    EXPECT_EQ(shot.pixel(taskbar.x, taskbar.y), 0x606060u);
    // The start button, away from its text.
    const Point start = toScreen(geometry_, {46, 578});
    EXPECT_EQ(shot.pixel(start.x, start.y), 0xECECECu);
}

TEST_F(DesktopE2E, DraggingTheTitleBarMovesTheWindowByTheDragDistance) {
    const int grabX = geometry_.x + 400, grabY = geometry_.y + 10;
    constexpr int dx = 120, dy = 70;
    ASSERT_TRUE(x_.drag(grabX, grabY, grabX + dx, grabY + dy));
    const Rect expected{geometry_.x + dx, geometry_.y + dy, kDesktopSize.width, kDesktopSize.height};
    waitUntil([&] { return x_.geometry(win_) == expected; }, 5s);
    EXPECT_EQ(x_.geometry(win_), std::optional<Rect>(expected));
    EXPECT_TRUE(app_->running());
}

// Each way of closing the only window ends the program with 0.
struct CloseCase {
    const char* name;
    const char* keys;  // nullptr: a click on the close box
};

class DesktopClose : public DesktopE2E, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(DesktopClose, EndsTheProgramWithZero) {
    if (GetParam().keys) {
        ASSERT_TRUE(x_.focus(win_));
        ASSERT_TRUE(x_.key(GetParam().keys));
    } else {
        const Point box = middle(closeBox(kDesktopSize.width));
        ASSERT_TRUE(x_.click(geometry_.x + box.x, geometry_.y + box.y));
    }
    const std::optional<int> code = exitCode();
    ASSERT_TRUE(code) << "still running; stderr:\n" << app_->stderrText();
    EXPECT_EQ(*code, 0) << app_->stderrText();
}

INSTANTIATE_TEST_SUITE_P(E2E, DesktopClose,
                         ::testing::Values(CloseCase{"Escape", "Escape"}, CloseCase{"AltF4", "alt+F4"},
                                           CloseCase{"CloseBox", nullptr}),
                         [](const auto& info) { return std::string(info.param.name); });

// Without any display the program must say so in one line and fail, not run invisibly. No
// display at all: no X, no Wayland, and no session runtime folder either (as under cron or
// a bare ssh login), so the result does not depend on the desktop the tests run from.
TEST(DesktopWithoutDisplay, ExitsNonZeroWithOneLineNamingTheDisplay) {
    Process p(Process::Options{.path = QUILLON_BINARY,
                               .unset = {"DISPLAY", "SDL_VIDEODRIVER", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR"}});
    ASSERT_TRUE(p.ok()) << p.error();
    const std::optional<int> code = p.waitExit(10s);
    ASSERT_TRUE(code) << "still running without a display";
    EXPECT_NE(*code, 0);

    std::vector<std::string> lines;
    std::istringstream in(p.stderrText());
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    ASSERT_EQ(lines.size(), 1u) << p.stderrText();
    EXPECT_NE(lines.front().find("display"), std::string::npos) << lines.front();
}

}  // namespace
}  // namespace quillon::e2e
