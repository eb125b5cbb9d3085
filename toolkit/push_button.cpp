#include "push_button.h"

#include "style.h"
#include "window.h"

namespace tk {

void PushButton::paint(cairo_t* cr) {
    const Rect r = bounds();
    const bool focused = window().focus() == this;
    style::pushButton(cr, r, pressed_, focused);
    const int shift = pressed_ ? 1 : 0;
    text().draw(cr, textContext(), r.translated({shift, shift}), textColor());
    if (focused) style::focusRect(cr, r.inflated(-4, -4));
}

void PushButton::setPressed(bool pressed) {
    if (pressed_ == pressed) return;
    pressed_ = pressed;
    update();
}

void PushButton::mouseDown(Point) {
    tracking_ = true;
    window().setFocus(this);
    setPressed(true);
}

void PushButton::mouseMove(Point p) {
    if (tracking_) setPressed(Rect{0, 0, place().width, place().height}.contains(p));
}

void PushButton::mouseLeave() {
    if (tracking_) setPressed(false);
}

void PushButton::mouseUp(Point p) {
    const bool inside = tracking_ && Rect{0, 0, place().width, place().height}.contains(p);
    tracking_ = false;
    setPressed(false);
    if (inside && onClick) onClick();
}

bool PushButton::key(const InputEvent& e) {
    if (e.key != Key::Enter && e.key != Key::Space) return false;
    if (onClick) onClick();
    return true;
}

}  // namespace tk
