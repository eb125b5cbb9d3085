#pragma once
// 标签: a filled rectangle with an optional border and text.

#include "control.h"

namespace tk {

class Label final : public Control {
public:
    using Control::Control;
    void paint(cairo_t* cr) override;
};

}  // namespace tk
