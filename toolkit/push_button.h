#pragma once
// A push button, as the message box has one: raised, pressed while the left button is held
// over it, clicked on release over it, or by Enter or Space while it has the focus.

#include <functional>

#include "control.h"

namespace tk {

class PushButton final : public Control {
public:
    using Control::Control;

    std::function<void()> onClick;

    void paint(cairo_t* cr) override;
    void mouseDown(Point p) override;
    void mouseMove(Point p) override;
    void mouseUp(Point p) override;
    void mouseLeave() override;
    bool key(const InputEvent& e) override;

private:
    void setPressed(bool pressed);

    bool tracking_ = false;  // the left button went down on the button and is still held
    bool pressed_ = false;   // drawn pushed in
};

}  // namespace tk
