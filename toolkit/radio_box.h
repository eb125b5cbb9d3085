#pragma once
// 单选框: a radio button. The radio buttons that share a parent (and its page) form one
// exclusive group: checking one unchecks the others. The group is one tab stop; arrow keys move
// within it and check, Space checks the focused button.

#include <vector>

#include "button.h"

namespace tk {

class RadioBox final : public Button {
public:
    using Button::Button;

    void paint(cairo_t* cr) override;
    bool isChecked() const override { return checked_; }
    bool isTabStop() const override;
    void check();

    bool key(const InputEvent& e) override;

private:
    std::vector<RadioBox*> group() const;
    Rect markRect() const;
    Rect captionRect() const;
    void clicked() override { check(); }

    bool checked_ = false;
};

}  // namespace tk
