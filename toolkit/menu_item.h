#pragma once
// A line of a menu: its caption (a tab separates the shortcut, drawn at the right), or a
// separator when it has no text. Disabled lines are drawn grey and cannot be chosen.

#include <functional>

#include "control.h"

namespace tk {

class MenuItem final : public Control {
public:
    MenuItem(Window& window, const ControlDef& def);

    std::function<void()> onHover;
    std::function<void()> onChoose;

    bool separator() const { return definition().text.empty(); }
    void setSelected(bool selected);
    bool selected() const { return selected_; }

    void paint(cairo_t* cr) override;
    void mouseMove(Point p) override;
    void mouseUp(Point p) override;

private:
    TextBlock shortcut_;
    bool selected_ = false;
};

}  // namespace tk
