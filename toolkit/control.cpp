#include "control.h"

#include "window.h"

namespace tk {

Control::Control(Window& window, const ControlDef& def)
    : window_(window), def_(def), place_(def.place), visible_(def.visible), textColor_(def.textColor) {
    text_.set(def.text, def.textStyle);
}

Rect Control::bounds() const {
    if (!parent_) return place_;
    const Rect p = parent_->bounds();
    return place_.translated(p.origin() + parent_->childOrigin());
}

bool Control::shown() const {
    if (!visible_) return false;
    if (!parent_) return true;
    return parent_->shown() && parent_->showsChild(*this);
}

void Control::useLabelPlacement() {
    if (!def_.textStyle.wordWrap) return;
    TextStyle style = def_.textStyle;
    style.valign = VAlign::Top;
    text_.set(def_.text, style);
}

const TextContext& Control::textContext() const { return window_.textContext(); }

void Control::update() { window_.invalidate(bounds()); }

void Control::setVisible(bool visible) {
    if (visible_ == visible) return;
    const bool wasShown = shown();
    visible_ = visible;
    if (shown() != wasShown) {
        update();
        window_.controlShownChanged(*this);
    }
}

void Control::setTextColor(Color color) {
    if (textColor_ == color) return;
    textColor_ = color;
    update();
}

}  // namespace tk
