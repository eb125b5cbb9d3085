#include "process_bar.h"

#include "style.h"

namespace tk {

void ProcessBar::paint(cairo_t* cr) {
    const ControlDef& d = definition();
    const int span = d.rangeMax - d.rangeMin;
    const double fraction = span > 0 ? static_cast<double>(d.position - d.rangeMin) / span : 0.0;
    const Rect inner = style::border(cr, bounds(), d.border);
    style::progressFill(cr, inner, fraction, d.continuous);
}

}  // namespace tk
