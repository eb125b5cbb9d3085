#include "window.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <utility>

#include "control_factory.h"
#include "style.h"
#include "toolkit.h"

namespace tk {
namespace {

constexpr int kMaxDirtyRects = 8;

Font captionFont() { return {.face = {}, .pixels = kDefaultFontPixels, .weight = 700}; }

}  // namespace

Window::Window(Toolkit& toolkit, const WindowDef& def, NativeId id, Point)
    : toolkit_(toolkit), def_(def), id_(id) {
    const PixelBuffer px = toolkit_.platform().pixels(id_);
    surface_ = cairo_image_surface_create_for_data(px.data, CAIRO_FORMAT_RGB24, px.width, px.height, px.stride);
    toolkit_.takeEarlyPicture(def, picture_);
    picture_.set(def.picture);
    if (!def.icons.empty()) icon_.set(def.icons.front());
    caption_.set(def.caption, {.font = captionFont(), .align = HAlign::Left, .valign = VAlign::Middle});
    build();
    invalidateAll();
}

Window::~Window() { cairo_surface_destroy(surface_); }

const TextContext& Window::textContext() const { return toolkit_.textContext(); }

// ---------------------------------------------------------------------------------------------
// Controls

void Window::build() {
    controls_.reserve(def_.controls.size());
    for (const ControlDef& cd : def_.controls) controls_.push_back(makeControl(*this, cd));
    for (auto& c : controls_) {
        if (c->definition().parent.empty()) {
            topLevel_.push_back(c.get());
            continue;
        }
        Control& parent = control(c->definition().parent);
        c->parent_ = &parent;
        parent.adopt(*c);
    }
}

Control* Window::find(std::string_view name) const {
    for (const auto& c : controls_)
        if (c->name() == name) return c.get();
    return nullptr;
}

Control& Window::control(std::string_view name) const {
    if (Control* c = find(name)) return *c;
    throw std::out_of_range("no control named " + std::string(name));
}

Control* Window::controlAt(Point p) const {
    // Top of the stack first; a container's children lie above the container itself.
    auto search = [&](auto& self, const std::vector<Control*>& list) -> Control* {
        for (Control* c : list) {
            if (!c->shown() || !c->bounds().contains(p)) continue;
            if (Control* child = self(self, c->children())) return child;
            return c->enabled() ? c : nullptr;
        }
        return nullptr;
    };
    return search(search, topLevel_);
}

void Window::setBackgroundPicture(std::span<const std::uint8_t> bytes) {
    picture_.set(bytes);
    picture_.prepareAhead(clientRect().size(), resolve(def_.backColor));
    invalidate({0, 0, clientRect().width, clientRect().height});
}

// ---------------------------------------------------------------------------------------------
// Geometry

Rect Window::clientRectOf(const WindowDef& def) {
    const Size s = def.outerSize;
    if (def.popup) return {0, 0, s.width, s.height};
    return {kBorder, kBorder + kCaption, s.width - 2 * kBorder, s.height - 2 * kBorder - kCaption};
}

Rect Window::clientRect() const { return clientRectOf(def_); }

Rect Window::closeBoxRect() const {
    if (def_.popup) return {};
    return {outerSize().width - kBorder - 2 - 16, kBorder + 2, 16, 14}; }

Rect Window::minimizeBoxRect() const {
    if (!def_.minimizeBox) return {};
    const Rect close = closeBoxRect();
    return {close.x - 2 - 16, close.y, 16, 14};
}

Rect Window::iconRect() const {
    if (def_.icons.empty() || def_.popup) return {};
    return {kBorder + 2, kBorder + 1, 16, 16};
}

FramePart Window::partAt(Point p) const {
    if (clientRect().contains(p)) return FramePart::Client;
    if (closeBoxRect().contains(p)) return FramePart::CloseBox;
    if (minimizeBoxRect().contains(p)) return FramePart::MinimizeBox;
    if (iconRect().contains(p)) return FramePart::Icon;
    const Rect caption{kBorder, kBorder, outerSize().width - 2 * kBorder, kCaption};
    if (caption.contains(p)) return FramePart::Caption;
    return FramePart::None;
}

// ---------------------------------------------------------------------------------------------
// Focus

void Window::setFocus(Control* control) {
    if (focus_ == control) return;
    Control* old = focus_;
    focus_ = control;
    if (old) old->focusChanged();
    if (control) control->focusChanged();
}

void Window::moveFocus(bool backward) {
    std::vector<Control*> stops;
    for (const auto& c : controls_)
        if (c->isTabStop() || c.get() == focus_) stops.push_back(c.get());
    if (stops.empty()) return;
    auto it = std::find(stops.begin(), stops.end(), focus_);
    std::size_t i = it == stops.end() ? (backward ? stops.size() - 1 : 0)
                    : backward        ? (it - stops.begin() + stops.size() - 1) % stops.size()
                                      : (it - stops.begin() + 1) % stops.size();
    setFocus(stops[i]);
}

void Window::controlShownChanged(Control& control) {
    auto within = [&control](Control* c) {
        for (; c; c = c->parent())
            if (c == &control) return true;
        return false;
    };
    if (within(focus_) && !focus_->shown()) setFocus(nullptr);
    if (within(hot_) && !hot_->shown()) hover(nullptr, {});
    if (within(pressed_)) pressed_ = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Painting

void Window::invalidate(const Rect& r) {
    const Rect client = clientRect();
    const Rect outer = r.translated(client.origin()).intersected(client);
    if (outer.empty()) return;
    for (const Rect& d : dirty_)
        if (d.contains(outer)) return;
    std::erase_if(dirty_, [&outer](const Rect& d) { return outer.contains(d); });
    dirty_.push_back(outer);
    if (dirty_.size() > kMaxDirtyRects) {
        Rect all;
        for (const Rect& d : dirty_) all = all.united(d);
        dirty_.assign(1, all);
    }
}

void Window::invalidateAll() { dirty_.assign(1, {0, 0, outerSize().width, outerSize().height}); }

std::vector<Rect> Window::paint() {
    std::vector<Rect> painted;
    painted.swap(dirty_);
    if (painted.empty()) return painted;

    cairo_t* cr = cairo_create(surface_);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    Rect bounds;
    for (const Rect& r : painted) {
        cairo_rectangle(cr, r.x, r.y, r.width, r.height);
        bounds = bounds.united(r);
    }
    cairo_clip(cr);

    const Rect client = clientRect();
    if (!client.contains(bounds)) paintFrame(cr);

    cairo_rectangle(cr, client.x, client.y, client.width, client.height);
    cairo_clip(cr);
    cairo_translate(cr, client.x, client.y);
    const Rect clientDirty = bounds.intersected(client).translated({-client.x, -client.y});
    const Rect clientArea{0, 0, client.width, client.height};
    style::fill(cr, clientDirty, resolve(def_.backColor));
    picture_.draw(cr, clientArea, resolve(def_.backColor));
    for (auto it = topLevel_.rbegin(); it != topLevel_.rend(); ++it) paintTree(cr, **it, clientDirty);
    cairo_destroy(cr);
    cairo_surface_flush(surface_);
    return painted;
}

void Window::paintTree(cairo_t* cr, Control& c, const Rect& dirtyBounds) {
    if (!c.shown()) return;
    const Rect b = c.bounds();
    if (!b.intersects(dirtyBounds)) return;
    cairo_save(cr);
    c.paint(cr);
    // Children are cut to their container, as child windows are.
    cairo_rectangle(cr, b.x, b.y, b.width, b.height);
    cairo_clip(cr);
    const auto& kids = c.children();
    for (auto it = kids.rbegin(); it != kids.rend(); ++it) paintTree(cr, **it, dirtyBounds);
    cairo_restore(cr);
}

void Window::paintFrame(cairo_t* cr) {
    const Size s = outerSize();
    style::windowFrame(cr, {0, 0, s.width, s.height});
    const Rect bar{kBorder, kBorder, s.width - 2 * kBorder, kCaption - 1};
    style::captionBar(cr, bar, active_);
    style::fill(cr, {kBorder, kBorder + kCaption - 1, bar.width, 1}, palette::face);
    const Rect icon = iconRect();
    if (!icon.empty()) icon_.draw(cr, icon, std::nullopt);
    const int textLeft = icon.empty() ? kBorder + 3 : icon.right() + 3;
    const int textRight = (def_.minimizeBox ? minimizeBoxRect() : closeBoxRect()).x - 2;
    caption_.draw(cr, textContext(), {textLeft, bar.y, textRight - textLeft, bar.height},
                  active_ ? 0xFFFFFF : palette::inactiveCaptionText);
    style::captionButton(cr, closeBoxRect(), style::Glyph::Close, pressedPart_ == FramePart::CloseBox);
    if (def_.minimizeBox)
        style::captionButton(cr, minimizeBoxRect(), style::Glyph::Minimize, pressedPart_ == FramePart::MinimizeBox);
}

void Window::present(std::span<const Rect> rects) { toolkit_.platform().present(id_, rects); }

void Window::presentAll() {
    const Rect all{0, 0, outerSize().width, outerSize().height};
    present({&all, 1});
}

std::uint32_t Window::pixel(Point p) const {
    const auto* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    if (!data || p.x < 0 || p.y < 0 || p.x >= cairo_image_surface_get_width(surface_) ||
        p.y >= cairo_image_surface_get_height(surface_))
        return 0;
    return *reinterpret_cast<const std::uint32_t*>(data + p.y * stride + p.x * 4) & 0xFFFFFF;
}

// ---------------------------------------------------------------------------------------------
// Input

void Window::fire(Event event, const Control* control, Point pos) {
    const std::string_view name = control ? control->name() : std::string_view{};
    for (const Binding& b : def_.bindings)
        if (b.event == event && b.control == name) {
            toolkit_.runHandler(b.handler, EventArgs{*this, pos, 0});
            return;
        }
}

void Window::handle(const InputEvent& e) {
    switch (e.type) {
        case InputType::MouseMove:
        case InputType::MouseDown:
        case InputType::MouseUp: mouse(e); break;
        case InputType::MouseLeave: hover(nullptr, {}); break;
        case InputType::Key: key(e); break;
        case InputType::CloseRequested: toolkit_.closeWindow(*this); break;
        case InputType::Exposed: presentAll(); break;
        case InputType::FocusGained:
        case InputType::FocusLost:
            active_ = e.type == InputType::FocusGained;
            dirty_.push_back({0, 0, outerSize().width, clientRect().y});
            break;
        case InputType::Moved:
        case InputType::DisplayLost: break;
    }
}

void Window::hover(Control* control, Point clientPos) {
    if (control != hot_) {
        if (hot_) hot_->mouseLeave();
        hot_ = control;
    }
    if (hot_) hot_->mouseMove(clientPos - hot_->bounds().origin());
}

void Window::mouse(const InputEvent& e) {
    const Point client = e.pos - clientRect().origin();
    const FramePart part = partAt(e.pos);

    if (e.type == InputType::MouseMove) {
        if (dragging_) {
            toolkit_.platform().moveWindow(id_, toolkit_.platform().cursorPosition() - dragGrab_);
            return;
        }
        hover(part == FramePart::Client ? controlAt(client) : nullptr, client);
        if (pressed_ && pressed_ != hot_) pressed_->mouseMove(client - pressed_->bounds().origin());
        return;
    }
    if (e.button != 1) return;

    if (e.type == InputType::MouseDown) {
        if (part != FramePart::Client) {
            if (part == FramePart::CloseBox || part == FramePart::MinimizeBox) {
                pressedPart_ = part;
                dirty_.push_back(part == FramePart::CloseBox ? closeBoxRect() : minimizeBoxRect());
            } else if (part == FramePart::Icon) {
                toolkit_.openSystemMenu(*this);
            } else if (part == FramePart::Caption) {
                dragging_ = true;
                dragGrab_ = toolkit_.platform().cursorPosition() - toolkit_.platform().windowPosition(id_);
            }
            return;
        }
        Control* target = controlAt(client);
        if (!target) return;
        const Point local = client - target->bounds().origin();
        // The second press of a double-click is a double-click, not a press.
        if (e.clicks % 2 == 0) {
            target->doubleClick(local);
            fire(Event::DoubleClicked, target, local);
        } else {
            pressed_ = target;
            target->mouseDown(local);
            fire(Event::LeftPressed, target, local);
        }
        return;
    }

    // Left button released.
    dragging_ = false;
    if (pressedPart_ != FramePart::None) {
        const FramePart was = pressedPart_;
        pressedPart_ = FramePart::None;
        dirty_.push_back(was == FramePart::CloseBox ? closeBoxRect() : minimizeBoxRect());
        if (part == was) {
            if (was == FramePart::CloseBox) toolkit_.closeWindow(*this);
            else toolkit_.platform().minimizeWindow(id_);
        }
        return;
    }
    Control* wasPressed = std::exchange(pressed_, nullptr);
    if (wasPressed) wasPressed->mouseUp(client - wasPressed->bounds().origin());
    // No mouse capture: the release belongs to whatever label is under the pointer now.
    Control* target = part == FramePart::Client ? controlAt(client) : nullptr;
    if (target) fire(Event::LeftReleased, target, client - target->bounds().origin());
}

void Window::beginKeyboardMove() {
    keyboardMove_ = true;
    moveStart_ = toolkit_.platform().windowPosition(id_);
}

void Window::key(const InputEvent& e) {
    if (keyboardMove_) {
        constexpr int kStep = 8;
        const Point at = toolkit_.platform().windowPosition(id_);
        switch (e.key) {
            case Key::Left: toolkit_.platform().moveWindow(id_, at + Point{-kStep, 0}); break;
            case Key::Right: toolkit_.platform().moveWindow(id_, at + Point{kStep, 0}); break;
            case Key::Up: toolkit_.platform().moveWindow(id_, at + Point{0, -kStep}); break;
            case Key::Down: toolkit_.platform().moveWindow(id_, at + Point{0, kStep}); break;
            case Key::Escape: toolkit_.platform().moveWindow(id_, moveStart_); [[fallthrough]];
            case Key::Enter: keyboardMove_ = false; break;
            default: break;
        }
        return;
    }
    if (e.key == Key::F4 && e.mods.alt) {
        toolkit_.closeWindow(*this);
        return;
    }
    if (e.key == Key::Space && e.mods.alt) {
        if (!def_.popup) toolkit_.openSystemMenu(*this);
        return;
    }
    if (focus_ && focus_->key(e)) return;
    switch (e.key) {
        case Key::Escape: toolkit_.closeWindow(*this); break;
        case Key::Tab: moveFocus(e.mods.shift); break;
        default: break;
    }
}

}  // namespace tk
