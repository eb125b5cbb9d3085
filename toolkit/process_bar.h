#pragma once
// 进度条: a horizontal progress bar with a range and a position, drawn as one bar or in blocks.

#include "control.h"

namespace tk {

class ProcessBar final : public Control {
public:
    using Control::Control;
    void paint(cairo_t* cr) override;
};

}  // namespace tk
