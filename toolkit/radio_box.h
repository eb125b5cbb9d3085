#pragma once
// 单选框: a radio button. The radio buttons that share a parent (and its page) form one
// exclusive group: checking one unchecks the others. The group is one tab stop; arrow keys move
// within it and check, Space checks the focused button.

#include <vector>

#include "control.h"

namespace tk {

class RadioBox final : public Control {
public:
    using Control::Control;

    void paint(cairo_t* cr) override;
    bool isChecked() const override { return checked_; }
    bool isTabStop() const override;
    void check();

    void mouseDown(Point p) override;
    void mouseMove(Point p) override;
    void mouseUp(Point p) override;
    void mouseLeave() override;
    bool key(const InputEvent& e) override;

private:
    std::vector<RadioBox*> group() const;
    Rect markRect() const;
    Rect captionRect() const;
    void setPressed(bool pressed);

    bool checked_ = false;
    bool tracking_ = false;
    bool pressed_ = false;
};

}  // namespace tk
