#pragma once
// What every button shares, as Windows buttons behave: the left button going down on it takes
// the focus and pushes it in; it looks pushed in while the pointer stays over it; released over
// it, it is clicked. Unlike labels, a button follows the press it started.

#include "control.h"

namespace tk {

class Button : public Control {
public:
    using Control::Control;

    void mouseDown(Point p) override;
    void mouseMove(Point p) override;
    void mouseUp(Point p) override;
    void mouseLeave() override;

protected:
    bool pushedIn() const { return pushedIn_; }
    virtual void clicked() = 0;

private:
    bool inside(Point p) const { return Rect{0, 0, place().width, place().height}.contains(p); }
    void setPushedIn(bool pushedIn);

    bool tracking_ = false;  // the left button went down here and is still held
    bool pushedIn_ = false;
};

}  // namespace tk
