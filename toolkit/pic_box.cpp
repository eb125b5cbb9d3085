#include "pic_box.h"

#include "style.h"

namespace tk {

PicBox::PicBox(Window& window, const ControlDef& def) : Control(window, def) { picture_.set(def.picture); }

void PicBox::paint(cairo_t* cr) {
    const Rect r = bounds();
    style::fill(cr, r, backColor());
    const Rect inner = style::border(cr, r, definition().border);
    picture_.draw(cr, inner, backColor());
}

}  // namespace tk
