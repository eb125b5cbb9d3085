#pragma once
// A top-level window made from a definition: its controls, its own Windows Classic frame,
// painting by dirty rectangles, and the routing of input to its frame and controls.

#include <cairo.h>

#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "control.h"
#include "definition.h"
#include "input.h"
#include "picture.h"
#include "text.h"

namespace tk {

class Toolkit;

// Frame metrics: a 3-pixel border, and a 19-pixel caption bar under the top border.
inline constexpr int kBorder = 3;
inline constexpr int kCaption = 19;
// The client area's top-left corner in outer-window coordinates.
inline constexpr Point kClientOrigin{kBorder, kBorder + kCaption};

enum class FramePart { None, Client, Caption, Icon, CloseBox, MinimizeBox };

class Window {
public:
    Window(Toolkit& toolkit, const WindowDef& def, NativeId id, Point screenPos);
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    Toolkit& toolkit() const { return toolkit_; }
    const WindowDef& definition() const { return def_; }
    NativeId nativeId() const { return id_; }
    const TextContext& textContext() const;

    // Controls, by name as the definition gives them.
    Control* find(std::string_view name) const;
    Control& control(std::string_view name) const;  // the name must exist
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }
    // The topmost shown and enabled control at a point of the client area.
    Control* controlAt(Point clientPos) const;

    // Operations of the program.
    void setBackgroundPicture(std::span<const std::uint8_t> bytes);
    const Picture& backgroundPicture() const { return picture_; }

    // Geometry, in outer coordinates unless said otherwise.
    Size outerSize() const { return def_.outerSize; }
    Rect clientRect() const;
    static Rect clientRectOf(const WindowDef& def);
    FramePart partAt(Point outerPos) const;
    Rect closeBoxRect() const;
    Rect minimizeBoxRect() const;
    Rect iconRect() const;

    // Keyboard focus and activation.
    Control* focus() const { return focus_; }
    void setFocus(Control* control);
    bool active() const { return active_; }

    // Painting. Rectangles are in client coordinates; the window paints what was invalidated
    // once per turn of the event loop.
    void invalidate(const Rect& clientRect);
    void invalidateAll();
    bool needsPaint() const { return !dirty_.empty(); }
    // Paints what is dirty into the window's pixels and returns the rectangles painted.
    std::vector<Rect> paint();
    void present(std::span<const Rect> rects);
    void presentAll();
    // A pixel of the window as last painted, 0xRRGGBB, in outer coordinates.
    std::uint32_t pixel(Point outerPos) const;
    // The window's pixels as a Cairo surface (for screenshots in tests and tools).
    cairo_surface_t* surface() const { return surface_; }

    void handle(const InputEvent& event);
    // Arrow keys move the window until Enter keeps the place or Esc goes back.
    void beginKeyboardMove();
    void fire(Event event, const Control* control, Point pos = {});

    // Called by controls.
    void controlShownChanged(Control& control);

private:
    void build();
    void paintFrame(cairo_t* cr);
    void paintTree(cairo_t* cr, Control& control, const Rect& dirtyBounds);
    void mouse(const InputEvent& event);
    void key(const InputEvent& event);
    void hover(Control* control, Point clientPos);
    void moveFocus(bool backward);

    Toolkit& toolkit_;
    const WindowDef& def_;
    NativeId id_;
    std::vector<std::unique_ptr<Control>> controls_;
    std::vector<Control*> topLevel_;
    Picture picture_;
    Picture icon_;
    TextBlock caption_;
    cairo_surface_t* surface_ = nullptr;
    std::vector<Rect> dirty_;  // outer coordinates

    Control* focus_ = nullptr;
    Control* hot_ = nullptr;      // under the mouse
    Control* pressed_ = nullptr;  // left button went down on it
    FramePart pressedPart_ = FramePart::None;
    bool dragging_ = false;
    Point dragGrab_;  // where the title bar was grabbed, in outer coordinates
    bool active_ = false;
    bool keyboardMove_ = false;
    Point moveStart_;
};

}  // namespace tk
