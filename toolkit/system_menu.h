#pragma once
// The title bar's system menu: 还原, 移动, 大小, 最小化, 最大化 and 关闭, of which 移动,
// 最小化 and 关闭 can be chosen. It opens under the caption icon, as a popup window that
// leaves the keyboard focus with its owner, which passes it the keys.

#include <array>
#include <string>

#include "definition.h"
#include "input.h"

namespace tk {

class Toolkit;
class Window;
class MenuItem;

class SystemMenu {
public:
    enum class Command { Restore, Move, Size, Minimize, Maximize, Close };

    SystemMenu(Toolkit& toolkit, Window& owner);
    SystemMenu(const SystemMenu&) = delete;
    SystemMenu& operator=(const SystemMenu&) = delete;

    Window& owner() const { return owner_; }
    Window& popup() const { return *popup_; }

    // Keys while the menu is open: arrows move the selection, Enter chooses, Esc closes,
    // and a line's underlined letter chooses that line.
    void key(const InputEvent& e);

private:
    static constexpr int kLineCount = 7;
    void select(int line);
    void choose(int line);
    MenuItem& item(int line) const;

    Toolkit& toolkit_;
    Window& owner_;
    std::array<ControlDef, kLineCount + 1> controls_;
    WindowDef def_;
    Window* popup_ = nullptr;
    int selected_ = -1;
};

}  // namespace tk
