#pragma once
// 透明标签: text alone; whatever lies beneath shows around the glyphs. Because it fills
// nothing, repainting it repaints what is beneath it first (the window does that by
// repainting its whole rectangle from the bottom up).

#include "control.h"

namespace tk {

class TransLabel final : public Control {
public:
    TransLabel(Window& window, const ControlDef& def) : Control(window, def) { useLabelPlacement(); }
    void paint(cairo_t* cr) override;
};

}  // namespace tk
