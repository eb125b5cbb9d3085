#pragma once
// The desktop with its reinstall panel open, headless. Places on the tab control's pages are
// given relative to the tab control's top-left, as the desktop definition gives them.

#include <string>
#include <string_view>
#include <vector>

#include "desktop/desktop_fixture.h"
#include "desktop/desktop_window.h"
#include "toolkit/page_control.h"

namespace quillon::test {

// 高级选择夹1's place in the desktop's client area.
inline constexpr tk::Point kTabControl = {239, 126};

// The controls on each page of 高级选择夹1, by name.
inline const std::vector<std::string_view>& pageControls(int page) {
    static const std::vector<std::vector<std::string_view>> pages = {
        {"标签5", "透明标签3"},
        {"标签6", "单选框14", "单选框13", "单选框12", "单选框11", "单选框10", "单选框9", "单选框8", "单选框7",
         "单选框6", "单选框5", "单选框4", "单选框3", "单选框2", "单选框1"},
        {"透明标签6", "标签7", "透明标签5", "进度条2", "透明标签4", "进度条1"},
    };
    return pages.at(static_cast<std::size_t>(page));
}

inline std::string radioName(int n) { return "单选框" + std::to_string(n); }

class PanelTest : public DesktopTest {
protected:
    void SetUp() override {
        DesktopTest::SetUp();
        if (HasFatalFailure()) return;
        desktop_ = &startDesktop();
        openPanel();
    }

    tk::Window& desktop() { return *desktop_; }
    tk::PageControl& tabs() { return static_cast<tk::PageControl&>(desktop_->control("高级选择夹1")); }

    // A double-click on the first desktop icon, 图片框1, above the grey bar 标签10 that covers its lower part.
    void openPanel() {
        press(desktop(), {40, 20}, 1);
        release(desktop(), {40, 20});
        press(desktop(), {40, 20}, 2);
        release(desktop(), {40, 20});
        toolkit().processPending();
    }

    // A point of the tab control, in the desktop's client area.
    static tk::Point onTabs(tk::Point local) { return local + kTabControl; }
    // The middle of a tab as it is laid out now.
    tk::Point tabCentre(int page) {
        const tk::Rect r = tabs().tabRect(page);
        return onTabs({r.x + r.width / 2, r.y + r.height / 2});
    }
    static tk::Rect tabsRect(const tk::Rect& local) { return local.translated(kTabControl); }

    void clickTab(int page) {
        press(desktop(), tabCentre(page));
        release(desktop(), tabCentre(page));
        toolkit().processPending();
    }
    void move(tk::Point client) {
        toolkit().post({.type = tk::InputType::MouseMove, .window = desktop().nativeId(), .pos = outer(desktop(), client)});
    }
    void keyToDesktop(tk::Key k, tk::KeyMods mods = {}) { key(k, mods, desktop().nativeId()); }

    // The names of the checked radio buttons.
    std::vector<std::string> checkedRadios() {
        std::vector<std::string> names;
        for (int n = 1; n <= 14; ++n)
            if (desktop().control(radioName(n)).isChecked()) names.push_back(radioName(n));
        return names;
    }
    std::string focusName() {
        const tk::Control* f = desktop().focus();
        return f ? std::string(f->name()) : std::string("(none)");
    }

    tk::Window* desktop_ = nullptr;
};

}  // namespace quillon::test
