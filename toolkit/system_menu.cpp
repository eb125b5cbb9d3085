#include "system_menu.h"

#include <algorithm>

#include "menu_item.h"
#include "toolkit.h"
#include "window.h"

namespace tk {
namespace {

struct Line {
    std::string_view text;
    char letter;
    SystemMenu::Command command;
    bool enabled;
};

// The separator stands where the letter is 0.
constexpr Line kMenu[] = {
    {"还原(&R)", 'r', SystemMenu::Command::Restore, false},
    {"移动(&M)", 'm', SystemMenu::Command::Move, true},
    {"大小(&S)", 's', SystemMenu::Command::Size, false},
    {"最小化(&N)", 'n', SystemMenu::Command::Minimize, true},
    {"最大化(&X)", 'x', SystemMenu::Command::Maximize, false},
    {"", 0, SystemMenu::Command::Close, false},
    {"关闭(&C)\tAlt+F4", 'c', SystemMenu::Command::Close, true},
};

constexpr int kEdge = 3;
constexpr int kLineHeight = 18;
constexpr int kSeparatorHeight = 9;
constexpr int kWidth = 150;

}  // namespace

SystemMenu::SystemMenu(Toolkit& toolkit, Window& owner) : toolkit_(toolkit), owner_(owner) {
    int y = kEdge;
    for (int i = 0; i < kLineCount; ++i) {
        const Line& line = kMenu[i];
        const int h = line.letter ? kLineHeight : kSeparatorHeight;
        // The default command, 关闭, is drawn in bold as Windows does.
        const Font font{.face = {}, .pixels = kDefaultFontPixels, .weight = line.letter == 'c' ? 700 : 400};
        controls_[i] = {.name = line.text.empty() ? std::string_view("-") : line.text,
                        .kind = Kind::MenuItem,
                        .place = {kEdge, y, kWidth - 2 * kEdge, h},
                        .disabled = !line.enabled,
                        .text = line.text,
                        .textStyle = {.font = font, .align = HAlign::Left, .valign = VAlign::Middle}};
        y += h;
    }
    const int height = y + kEdge;
    controls_[kLineCount] = {.name = "frame", .kind = Kind::Label, .place = {0, 0, kWidth, height}, .border = Border::Raised};
    def_ = {.caption = {}, .outerSize = {kWidth, height}, .minimizeBox = false, .popup = true, .controls = controls_};

    const Point at = toolkit_.platform().windowPosition(owner.nativeId()) + kClientOrigin;
    popup_ = &toolkit_.openPopup(def_, at);
    for (int i = 0; i < kLineCount; ++i) {
        MenuItem& it = item(i);
        it.onHover = [this, i] { select(i); };
        it.onChoose = [this, i] { choose(i); };
    }
}

MenuItem& SystemMenu::item(int line) const { return static_cast<MenuItem&>(*popup_->controls()[line]); }

void SystemMenu::select(int line) {
    if (line == selected_) return;
    if (selected_ >= 0) item(selected_).setSelected(false);
    selected_ = line;
    if (selected_ >= 0) item(selected_).setSelected(true);
}

void SystemMenu::choose(int line) {
    const Line& chosen = kMenu[line];
    if (!chosen.enabled) return;
    Window& owner = owner_;
    Toolkit& toolkit = toolkit_;
    toolkit.closeSystemMenu();
    switch (chosen.command) {
        case Command::Move: owner.beginKeyboardMove(); break;
        case Command::Minimize: toolkit.platform().minimizeWindow(owner.nativeId()); break;
        case Command::Close: toolkit.closeWindow(owner); break;
        default: break;
    }
}

void SystemMenu::key(const InputEvent& e) {
    auto step = [this](int direction) {
        int line = selected_ < 0 ? (direction > 0 ? -1 : kLineCount) : selected_;
        for (int n = 0; n < kLineCount; ++n) {
            line = (line + direction + kLineCount) % kLineCount;
            if (kMenu[line].letter && kMenu[line].enabled) break;
        }
        select(line);
    };
    switch (e.key) {
        case Key::Escape: toolkit_.closeSystemMenu(); return;
        case Key::Down: step(1); return;
        case Key::Up: step(-1); return;
        case Key::Enter:
            if (selected_ >= 0) choose(selected_);
            return;
        case Key::Other:
            for (int i = 0; i < kLineCount; ++i)
                if (e.letter && kMenu[i].letter == e.letter) {
                    choose(i);
                    return;
                }
            return;
        default: return;
    }
}

}  // namespace tk
