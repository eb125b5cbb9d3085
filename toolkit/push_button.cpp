#include "push_button.h"

#include "style.h"
#include "window.h"

namespace tk {

void PushButton::paint(cairo_t* cr) {
    const Rect r = bounds();
    const bool focused = window().focus() == this;
    style::pushButton(cr, r, pushedIn(), focused);
    const int shift = pushedIn() ? 1 : 0;
    text().draw(cr, textContext(), r.translated({shift, shift}), textColor());
    if (focused) style::focusRect(cr, r.inflated(-4, -4));
}

void PushButton::clicked() {
    if (onClick) onClick();
}

bool PushButton::key(const InputEvent& e) {
    if (e.key != Key::Enter && e.key != Key::Space) return false;
    clicked();
    return true;
}

}  // namespace tk
