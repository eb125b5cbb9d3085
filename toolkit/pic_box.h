#pragma once
// 图片框: its background colour, then its picture stretched over the whole box.

#include "control.h"
#include "picture.h"

namespace tk {

class PicBox final : public Control {
public:
    PicBox(Window& window, const ControlDef& def);
    void paint(cairo_t* cr) override;
    const Picture& picture() const { return picture_; }

private:
    Picture picture_;
};

}  // namespace tk
