#include "label.h"

#include "style.h"

namespace tk {

void Label::paint(cairo_t* cr) {
    const Rect r = bounds();
    style::fill(cr, r, backColor());
    const Rect inner = style::border(cr, r, definition().border);
    text().draw(cr, textContext(), inner, textColor());
}

}  // namespace tk
