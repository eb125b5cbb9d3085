#pragma once
// What the platform reports, in the toolkit's own terms. Positions are relative to the
// window's outer top-left corner; screen positions are relative to the primary screen.

#include <cstdint>

#include "geometry.h"

namespace tk {

using NativeId = std::uint32_t;

enum class InputType {
    MouseMove,
    MouseDown,
    MouseUp,
    MouseLeave,
    Key,
    CloseRequested,  // the window manager asked the window to close
    Exposed,         // the window's pixels must be presented again
    FocusGained,
    FocusLost,
    Moved,
    DisplayLost,     // the connection to the display is gone
};

enum class Key { Other, Escape, Enter, Space, Tab, Left, Right, Up, Down, F4 };

struct KeyMods {
    bool alt = false;
    bool shift = false;
    bool ctrl = false;
};

struct InputEvent {
    InputType type = InputType::MouseMove;
    NativeId window = 0;
    Point pos;            // mouse events: window-relative
    int button = 0;       // 1 = left, 2 = middle, 3 = right
    int clicks = 1;       // MouseDown: 2 for the second press of a double-click, and so on
    Key key = Key::Other;
    char letter = 0;      // Key::Other: the letter or digit typed, lower case, if any
    KeyMods mods;
};

}  // namespace tk
