#include "desktop/desktop_handlers.h"

#include <utility>

#include "app/program.h"
#include "assets.h"
#include "completion/completion_window.h"
#include "desktop/desktop_window.h"
#include "toolkit/toolkit.h"

namespace quillon {
namespace {

// Which family each edition belongs to, in the order the choice is read: the first checked wins.
constexpr std::pair<std::string_view, std::int32_t> kChoices[] = {
    {"单选框1", kFamilySeven}, {"单选框2", kFamilySeven},  {"单选框3", kFamilySeven},  {"单选框4", kFamilySeven},
    {"单选框5", kFamilyEight}, {"单选框6", kFamilyEight},  {"单选框7", kFamilyEight},  {"单选框8", kFamilyEight},
    {"单选框9", kFamilyTen},   {"单选框10", kFamilyTen},   {"单选框11", kFamilyTen},   {"单选框12", kFamilyTen},
    {"单选框13", kFamilyTen},  {"单选框14", kFamilyTen},
};

std::span<const std::uint8_t> wallpaperFor(std::int32_t family) {
    switch (family) {
        case kFamilyTen: return assets::wallpaperWin10;
        case kFamilyEight: return assets::wallpaperWin8;
        default: return assets::wallpaperWin7;
    }
}

void setPanelVisible(tk::Window& desktop, bool visible) {
    for (std::string_view name : kPanelSet) desktop.control(name).setVisible(visible);
}

}  // namespace

void onDesktopCreated(const tk::EventArgs& args) {
    setPanelVisible(args.window, false);
    args.window.setBackgroundPicture(wallpaperFor(chosenFamily));
    if (chosenFamily == kFamilyNone) {
        tk::Toolkit& toolkit = args.window.toolkit();
        toolkit.messageBox("您好，您的系统文件已损毁！");
        toolkit.endProgram(0);
    }
}

void onStartPressed(const tk::EventArgs& args) { args.window.control("标签1").setTextColor(tk::Color::of(0xFF0000)); }

void onStartReleased(const tk::EventArgs& args) { args.window.control("标签1").setTextColor(tk::Color::of(0x000000)); }

void onToolIconDoubleClicked(const tk::EventArgs& args) { setPanelVisible(args.window, true); }

void onPanelCloseReleased(const tk::EventArgs& args) { setPanelVisible(args.window, false); }

void onCheckNextReleased(const tk::EventArgs& args) { args.window.control("高级选择夹1").setCurrentPage(1); }

void onChoiceNextReleased(const tk::EventArgs& args) {
    args.window.control("高级选择夹1").setCurrentPage(2);
    for (const auto& [name, family] : kChoices) {
        if (args.window.control(name).isChecked()) {
            chosenFamily = family;
            return;
        }
    }
    args.window.toolkit().messageBox("请选择一个操作系统！！！");
    chosenFamily = kFamilyNone;
}

void onRestartNowReleased(const tk::EventArgs& args) {
    args.window.toolkit().loadWindow(completionWindow());
    args.window.toolkit().destroyWindow(args.window);
}

}  // namespace quillon
