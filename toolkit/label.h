#pragma once
// 标签: a filled rectangle with an optional border and text.

#include "control.h"

namespace tk {

class Label final : public Control {
public:
    Label(Window& window, const ControlDef& def) : Control(window, def) { useLabelPlacement(); }
    void paint(cairo_t* cr) override;
};

}  // namespace tk
