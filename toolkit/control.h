#pragma once
// The base of every control kind: place, parent, visibility, text and colours, and the input
// a control may handle. A kind is a small subclass that paints itself and reacts to input;
// its look is drawn by the style functions.

#include <cairo.h>

#include <string>
#include <string_view>
#include <vector>

#include "definition.h"
#include "input.h"
#include "text.h"

namespace tk {

class Window;

class Control {
public:
    Control(Window& window, const ControlDef& def);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlDef& definition() const { return def_; }
    std::string_view name() const { return def_.name; }
    Kind kind() const { return def_.kind; }
    Window& window() const { return window_; }

    // Place in the parent's client area, and in the window's client area.
    const Rect& place() const { return place_; }
    Rect bounds() const;

    Control* parent() const { return parent_; }
    int page() const { return def_.page; }
    const std::vector<Control*>& children() const { return children_; }
    void adopt(Control& child) { children_.push_back(&child); }

    bool visible() const { return visible_; }
    // On screen: visible itself, and every container above it shows it.
    bool shown() const;
    bool enabled() const { return !def_.disabled; }
    virtual bool takesFocus() const { return def_.takesFocus && shown() && enabled(); }
    // Whether Tab stops here; a radio group is a single stop.
    virtual bool isTabStop() const { return takesFocus(); }

    // Operations of the program.
    void setVisible(bool visible);
    void setTextColor(Color color);
    std::uint32_t textColor() const { return resolve(textColor_); }
    std::uint32_t backColor() const { return resolve(def_.backColor); }
    virtual bool isChecked() const { return false; }
    virtual void setCurrentPage(int) {}

    // Painting, in window-client coordinates, with clipping already set by the window.
    virtual void paint(cairo_t* cr) = 0;
    // Containers say which of their children are on screen.
    virtual bool showsChild(const Control&) const { return true; }
    // Where the children's places start, in this control's client area.
    virtual Point childOrigin() const { return {}; }

    // Input, with positions in the control's own coordinates. Returns whether it was used.
    virtual void mouseDown(Point) {}
    virtual void mouseUp(Point) {}
    virtual void doubleClick(Point) {}
    virtual void mouseMove(Point) {}
    virtual void mouseLeave() {}
    virtual bool key(const InputEvent&) { return false; }
    virtual void focusChanged() { update(); }

    // Repaints the control (and whatever shows through it).
    void update();

protected:
    TextBlock& text() { return text_; }
    // Labels that wrap start their text at the top whatever their vertical setting says.
    void useLabelPlacement();
    const TextContext& textContext() const;

private:
    Window& window_;
    const ControlDef& def_;
    Control* parent_ = nullptr;
    std::vector<Control*> children_;
    Rect place_;
    bool visible_;
    Color textColor_;
    TextBlock text_;

    friend class Window;
};

}  // namespace tk
