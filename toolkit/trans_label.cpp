#include "trans_label.h"

namespace tk {

void TransLabel::paint(cairo_t* cr) { text().draw(cr, textContext(), bounds(), textColor()); }

}  // namespace tk
