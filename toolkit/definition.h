#pragma once
// Windows as data. A window definition lists its controls in stacking order (the first listed
// is on top) and binds handlers to (control, event) pairs. Everything is constant data: a
// window made from a definition copies what it may change.

#include <cstdint>
#include <span>
#include <string_view>

#include "color.h"
#include "font.h"
#include "geometry.h"
#include "text.h"

namespace tk {

class Window;

enum class Kind {
    Label,        // 标签
    TransLabel,   // 透明标签
    PicBox,       // 图片框
    RadioBox,     // 单选框
    ProcessBar,   // 进度条
    PageControl,  // 高级选择夹
    PushButton,   // the toolkit's own: the message box's button
    MenuItem,     // the toolkit's own: a line of the system menu
};

enum class Border { None, Single, ShallowSunken, Raised };

// The look of a tab control; only PageControl reads it.
struct TabLook {
    Font font;
    int height = 20;
    int padding = 11;    // added to the caption width
    int minWidth = 50;
    std::uint32_t outline = 0;
    std::uint32_t background = 0;
    std::uint32_t captionNormal = 0x000000;
    std::uint32_t captionHot = 0xFF0000;
    std::uint32_t captionSelected = 0x0000FF;
    std::uint32_t gradientTop = 0xFFFFFF;
    std::uint32_t gradientBottom = 0xEBEBE5;
    std::uint32_t page = 0xFCFCFE;
    std::uint32_t bandEdge = 0xE68B2C;
    std::uint32_t band = 0xFFC83C;
};

struct ControlDef {
    std::string_view name;
    Kind kind = Kind::Label;
    Rect place;                    // in the parent's client area
    std::string_view parent = {};  // empty: the window; otherwise a PageControl
    int page = 0;                  // the parent's page, for controls on a PageControl
    bool visible = true;
    bool disabled = false;
    bool takesFocus = false;

    std::string_view text = {};
    Color textColor = Color::of(0x000000);
    Color backColor = Color::face();
    TextStyle textStyle = {};
    Border border = Border::None;
    std::span<const std::uint8_t> picture = {};

    // ProcessBar
    int rangeMin = 0;
    int rangeMax = 100;
    int position = 0;
    bool continuous = true;

    // PageControl
    std::span<const std::string_view> pages = {};
    int currentPage = 0;
    TabLook tabs = {};
};

enum class Event { Created, LeftPressed, LeftReleased, DoubleClicked };

struct EventArgs {
    Window& window;
    Point pos;          // mouse events: in the control's client area
    unsigned keys = 0;  // mouse events: the modifier and button state
};

using Handler = void (*)(const EventArgs&);

struct Binding {
    std::string_view control;  // empty: the window itself
    Event event;
    Handler handler;
};

struct WindowDef {
    std::string_view caption;
    Size outerSize;
    Color backColor = Color::face();
    std::span<const std::uint8_t> picture = {};
    // The window icon as PNG files, smallest first; the 16-pixel one goes in the title bar.
    std::span<const std::span<const std::uint8_t>> icons = {};
    bool minimizeBox = true;
    // A popup (the system menu) has no frame and takes no keyboard focus.
    bool popup = false;
    std::span<const ControlDef> controls = {};
    std::span<const Binding> bindings = {};
};

}  // namespace tk
