#include "radio_box.h"

#include <algorithm>

#include "style.h"
#include "window.h"

namespace tk {

namespace {
constexpr int kCaptionGap = 4;
}

Rect RadioBox::markRect() const {
    const Rect b = bounds();
    return {b.x, b.y + (b.height - style::kRadioMark) / 2, style::kRadioMark, style::kRadioMark};
}

Rect RadioBox::captionRect() const {
    const Rect b = bounds();
    const int left = style::kRadioMark + kCaptionGap;
    return {b.x + left, b.y, b.width - left, b.height};
}

void RadioBox::paint(cairo_t* cr) {
    style::fill(cr, bounds(), backColor());
    style::radioMark(cr, markRect(), checked_, pushedIn());
    const Rect caption = captionRect();
    text().draw(cr, textContext(), caption, textColor());
    if (window().focus() == this) {
        // The focus rectangle hugs the caption, one pixel outside its text.
        const Size t = text().measure(textContext(), caption.width);
        const int w = std::min(t.width + 2, caption.width), h = std::min(t.height + 2, caption.height);
        style::focusRect(cr, {caption.x - 1, caption.y + (caption.height - h) / 2, w + 1, h});
    }
}

std::vector<RadioBox*> RadioBox::group() const {
    std::vector<RadioBox*> members;
    auto collect = [&](const auto& controls) {
        for (Control* c : controls)
            if (c->kind() == Kind::RadioBox && c->page() == page()) members.push_back(static_cast<RadioBox*>(c));
    };
    if (parent()) {
        collect(parent()->children());
    } else {
        std::vector<Control*> all;
        for (const auto& c : window().controls())
            if (!c->parent()) all.push_back(c.get());
        collect(all);
    }
    return members;
}

void RadioBox::check() {
    if (checked_) return;
    for (RadioBox* other : group())
        if (other != this && other->checked_) {
            other->checked_ = false;
            other->update();
        }
    checked_ = true;
    update();
}

bool RadioBox::isTabStop() const {
    if (!takesFocus()) return false;
    const auto members = group();
    // The checked button is the group's stop; with none checked, the focused one, else the first.
    for (RadioBox* m : members)
        if (m->checked_) return m == this;
    for (RadioBox* m : members)
        if (window().focus() == m) return m == this;
    for (RadioBox* m : members)
        if (m->takesFocus()) return m == this;
    return false;
}

bool RadioBox::key(const InputEvent& e) {
    switch (e.key) {
        case Key::Space: check(); return true;
        case Key::Up:
        case Key::Left:
        case Key::Down:
        case Key::Right: {
            std::vector<RadioBox*> members;
            for (RadioBox* m : group())
                if (m->takesFocus()) members.push_back(m);
            auto it = std::find(members.begin(), members.end(), this);
            if (it == members.end()) return true;
            const bool forward = e.key == Key::Down || e.key == Key::Right;
            const std::size_t n = members.size(), i = static_cast<std::size_t>(it - members.begin());
            RadioBox* next = members[forward ? (i + 1) % n : (i + n - 1) % n];
            window().setFocus(next);
            next->check();
            return true;
        }
        default: return false;
    }
}

}  // namespace tk
