#include "menu_item.h"

#include "style.h"

namespace tk {
namespace {
constexpr int kTextLeft = 17;
constexpr int kTextRight = 12;
}  // namespace

MenuItem::MenuItem(Window& window, const ControlDef& def) : Control(window, def) {
    const std::string_view all = def.text;
    const auto tab = all.find('\t');
    if (tab == std::string_view::npos) return;
    TextStyle style = def.textStyle;
    text().set(all.substr(0, tab), style);
    style.align = HAlign::Right;
    shortcut_.set(all.substr(tab + 1), style);
}

void MenuItem::setSelected(bool selected) {
    if (selected_ == selected) return;
    selected_ = selected;
    update();
}

void MenuItem::paint(cairo_t* cr) {
    const Rect r = bounds();
    if (separator()) {
        style::fill(cr, r, palette::face);
        const int y = r.y + r.height / 2 - 1;
        style::fill(cr, {r.x + 1, y, r.width - 2, 1}, palette::shadow);
        style::fill(cr, {r.x + 1, y + 1, r.width - 2, 1}, palette::highlight);
        return;
    }
    const bool lit = selected_;
    style::fill(cr, r, lit ? palette::highlightBar : palette::face);
    const Rect textBox{r.x + kTextLeft, r.y, r.width - kTextLeft - kTextRight, r.height};
    auto drawText = [&](const Rect& box, std::uint32_t rgb) {
        text().draw(cr, textContext(), box, rgb);
        shortcut_.draw(cr, textContext(), box, rgb);
    };
    if (!enabled() && !lit) {
        // Disabled text is embossed: white, then grey one pixel up and left.
        drawText(textBox.translated({1, 1}), palette::highlight);
        drawText(textBox, palette::shadow);
    } else {
        drawText(textBox, !enabled() ? palette::shadow : lit ? 0xFFFFFF : 0x000000);
    }
}

void MenuItem::mouseMove(Point) {
    if (!separator() && onHover) onHover();
}

void MenuItem::mouseUp(Point p) {
    if (enabled() && !separator() && Rect{0, 0, place().width, place().height}.contains(p) && onChoose) onChoose();
}

}  // namespace tk
