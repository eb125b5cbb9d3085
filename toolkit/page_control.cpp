#include "page_control.h"

#include <algorithm>

#include "style.h"
#include "window.h"

namespace tk {

namespace {
// The selected tab stands out: further left and right, and up to the control's top edge.
constexpr int kSelectedLeft = 3;
constexpr int kSelectedRight = 4;
constexpr int kStripTop = 2;
}  // namespace

PageControl::PageControl(Window& window, const ControlDef& def) : Control(window, def), current_(def.currentPage) {
    for (std::string_view caption : def.pages) {
        captions_.push_back(std::make_unique<TextBlock>());
        captions_.back()->set(caption, {.font = def.tabs.font, .align = HAlign::Center, .valign = VAlign::Middle});
    }
}

const std::vector<Rect>& PageControl::tabs() const {
    if (!tabs_.empty() || captions_.empty()) return tabs_;
    const TabLook& look = definition().tabs;
    int x = 1;
    for (auto& caption : captions_) {
        const int width = std::max(caption->measure(textContext(), 0).width + look.padding, look.minWidth);
        tabs_.push_back({x, kStripTop, width, look.height});
        x += width;
    }
    return tabs_;
}

Rect PageControl::tabRect(int page) const {
    if (page < 0 || page >= static_cast<int>(tabs().size())) return {};
    const Rect r = tabs_[page];
    if (page != current_) return r;
    return {r.x - kSelectedLeft, 0, r.width + kSelectedLeft + kSelectedRight, r.bottom()};
}

int PageControl::tabAt(Point local) const {
    // The selected tab is drawn over its neighbours, so it wins where they overlap.
    if (tabRect(current_).contains(local)) return current_;
    for (int i = 0; i < static_cast<int>(tabs().size()); ++i)
        if (tabRect(i).contains(local)) return i;
    return -1;
}

void PageControl::paint(cairo_t* cr) {
    const TabLook& look = definition().tabs;
    const Rect b = bounds();
    const Point o = b.origin();
    style::fill(cr, b, look.background);
    const int stripBottom = kStripTop + look.height;
    style::pageArea(cr, {b.x, b.y + stripBottom, b.width, b.height - stripBottom}, look);

    auto drawTab = [&](int i) {
        const Rect r = tabRect(i).translated(o);
        const bool selected = i == current_;
        // The selected tab opens into the page area: it covers the frame line under it.
        const Rect face = selected ? Rect{r.x, r.y, r.width, r.height + 1} : r;
        style::tabButton(cr, face, look, selected, i == hot_);
        const std::uint32_t color = i == hot_ ? look.captionHot : selected ? look.captionSelected : look.captionNormal;
        const Rect text = selected ? Rect{r.x, r.y + kStripTop, r.width, r.height - kStripTop} : r;
        captions_[i]->draw(cr, textContext(), text, color);
    };
    for (int i = 0; i < static_cast<int>(tabs().size()); ++i)
        if (i != current_) drawTab(i);
    if (current_ >= 0 && current_ < static_cast<int>(tabs().size())) drawTab(current_);
}

void PageControl::setCurrentPage(int page) {
    if (page == current_ || page < 0 || page >= static_cast<int>(captions_.size())) return;
    current_ = page;
    update();
    window().controlShownChanged(*this);
    for (Control* child : children())
        if (child->page() == page && child->takesFocus()) {
            window().setFocus(child);
            break;
        }
}

void PageControl::invalidateTab(int tab) {
    if (tab >= 0) window().invalidate(tabRect(tab).inflated(1, 1).translated(bounds().origin()));
}

void PageControl::setHot(int tab) {
    if (tab == hot_) return;
    invalidateTab(hot_);
    hot_ = tab;
    invalidateTab(hot_);
}

void PageControl::mouseDown(Point p) {
    const int tab = tabAt(p);
    if (tab >= 0) setCurrentPage(tab);
}

void PageControl::mouseMove(Point p) { setHot(tabAt(p)); }

void PageControl::mouseLeave() { setHot(-1); }

}  // namespace tk
