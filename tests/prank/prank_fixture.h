#pragma once
// The program started headless the way main() starts it, on a platform that keeps a journal of
// what a user would have seen: the windows shown, the text of each message box and what else
// was on screen under it, and the rectangles put on screen. Input is posted the way the
// platform reports it, so every handler is reached through the window's own routing.

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/program.h"
#include "support/toolkit_fixture.h"
#include "toolkit/page_control.h"
#include "toolkit/toolkit.h"

namespace quillon::test {

class JournalPlatform final : public tk::Platform {
public:
    explicit JournalPlatform(std::unique_ptr<tk::Platform> inner) : inner_(std::move(inner)) {}
    void attach(const tk::Toolkit& toolkit) { toolkit_ = &toolkit; }

    // One line per window shown ("shown desktop", "shown completion") and per message box
    // ("message <text> over <the windows on screen under it>").
    const std::vector<std::string>& journal() const { return journal_; }
    std::vector<std::string> messages() const;
    // The rectangles put on screen for a window since forgetPresented(), outer coordinates.
    std::vector<tk::Rect> presented(tk::NativeId id) const;
    void forgetPresented() { presented_.clear(); }

    std::optional<tk::NativeId> createWindow(const tk::NewWindow& request) override {
        return inner_->createWindow(request);
    }
    void destroyWindow(tk::NativeId id) override;
    void showWindow(tk::NativeId id) override;
    void focusWindow(tk::NativeId id) override { inner_->focusWindow(id); }
    void minimizeWindow(tk::NativeId id) override { inner_->minimizeWindow(id); }
    void moveWindow(tk::NativeId id, tk::Point p) override { inner_->moveWindow(id, p); }
    tk::Point windowPosition(tk::NativeId id) override { return inner_->windowPosition(id); }
    tk::PixelBuffer pixels(tk::NativeId id) override { return inner_->pixels(id); }
    void present(tk::NativeId id, std::span<const tk::Rect> rects) override;
    tk::Size screenSize() override { return inner_->screenSize(); }
    tk::Point cursorPosition() override { return inner_->cursorPosition(); }
    tk::InputEvent waitEvent() override { return inner_->waitEvent(); }
    std::optional<tk::InputEvent> pollEvent() override { return inner_->pollEvent(); }

private:
    std::string nameOf(tk::NativeId id) const;

    std::unique_ptr<tk::Platform> inner_;
    const tk::Toolkit* toolkit_ = nullptr;
    std::vector<std::string> journal_;
    std::vector<tk::NativeId> onScreen_;  // in the order shown
    std::vector<std::pair<tk::NativeId, tk::Rect>> presented_;
};

// Client pixels where no control of the desktop lies once the panel is hidden: together they
// tell the three wallpapers apart.
inline constexpr std::array<tk::Point, 4> kWallpaperProbes = {{{600, 300}, {300, 450}, {150, 300}, {850, 200}}};
using WallpaperSample = std::array<std::uint32_t, kWallpaperProbes.size()>;
WallpaperSample sampleWallpaper(const tk::Window& desktop);
std::string describe(const WallpaperSample& sample);

// What a freshly started desktop shows for a family, taken once per process.
const WallpaperSample& referenceWallpaper(std::int32_t family);

class PrankTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

public:  // for the tables of cases, which drive the fixture from outside

    tk::Toolkit& toolkit() { return *toolkit_; }
    JournalPlatform& platform() { return *platform_; }

    // The one desktop window on screen (the last loaded), and the completion window, if any.
    tk::Window& desktop();
    tk::Window* completion();

    // Input, in a window's client coordinates or on a named control: its centre, or where the
    // control is uncovered nearest to it. Posted, not handled: pump() handles it.
    void press(const tk::Window& window, tk::Point client, int clicks = 1);
    void release(const tk::Window& window, tk::Point client);
    void click(const tk::Window& window, tk::Point client);
    void pressOn(const tk::Window& window, std::string_view control) { press(window, centre(window, control)); }
    void releaseOn(const tk::Window& window, std::string_view control) { release(window, centre(window, control)); }
    void clickOn(const tk::Window& window, std::string_view control) { click(window, centre(window, control)); }
    // Clicks each control in turn, handling each click before aiming at the next control.
    void clickThrough(const tk::Window& window, std::initializer_list<std::string_view> controls);
    // Presses and releases twice on 图片框1, the second press counting as a double-click.
    // The grey bar 标签10 lies over the icon's middle: the clicks go above it.
    void doubleClickToolIcon(const tk::Window& desktop);
    void clickTab(const tk::Window& desktop, int page);
    // Enter to whatever has the keyboard: queued before a message box opens, it dismisses it.
    void pressEnter();
    void pump() { toolkit_->processPending(); }

    static tk::Point centre(const tk::Window& window, std::string_view control);
    static tk::PageControl& panelPages(const tk::Window& desktop);

    // A whole cycle from a desktop with the panel hidden, clicking all the way: open the panel,
    // go on from the check, pick the edition, go on, restart, finish on the completion window.
    // Returns the desktop loaded at the end.
    tk::Window& runCycle(std::string_view edition);

    // Somewhere on the desktop with nothing under it.
    static constexpr tk::Point kBareDesktop = {150, 300};

private:
    JournalPlatform* platform_ = nullptr;
    std::unique_ptr<tk::Toolkit> toolkit_;
};

}  // namespace quillon::test
