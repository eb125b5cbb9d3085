#pragma once
// A push button, as the message box has one: raised, pressed while the left button is held
// over it, clicked on release over it, or by Enter or Space while it has the focus.

#include <functional>

#include "button.h"

namespace tk {

class PushButton final : public Button {
public:
    using Button::Button;

    std::function<void()> onClick;

    void paint(cairo_t* cr) override;
    bool key(const InputEvent& e) override;

private:
    void clicked() override;
};

}  // namespace tk
