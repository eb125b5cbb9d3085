#include "button.h"

#include "window.h"

namespace tk {

void Button::setPushedIn(bool pushedIn) {
    if (pushedIn_ == pushedIn) return;
    pushedIn_ = pushedIn;
    update();
}

void Button::mouseDown(Point) {
    tracking_ = true;
    window().setFocus(this);
    setPushedIn(true);
}

void Button::mouseMove(Point p) {
    if (tracking_) setPushedIn(inside(p));
}

void Button::mouseLeave() {
    if (tracking_) setPushedIn(false);
}

void Button::mouseUp(Point p) {
    const bool click = tracking_ && inside(p);
    tracking_ = false;
    setPushedIn(false);
    if (click) clicked();
}

}  // namespace tk
