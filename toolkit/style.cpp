#include "style.h"

#include "color.h"

namespace tk::style {
namespace {

void source(cairo_t* cr, std::uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

}  // namespace

void fill(cairo_t* cr, const Rect& r, std::uint32_t rgb) {
    if (r.empty()) return;
    source(cr, rgb);
    cairo_rectangle(cr, r.x, r.y, r.width, r.height);
    cairo_fill(cr);
}

void edge(cairo_t* cr, const Rect& r, std::uint32_t topLeft, std::uint32_t bottomRight) {
    if (r.empty()) return;
    fill(cr, {r.x, r.y, r.width - 1, 1}, topLeft);
    fill(cr, {r.x, r.y, 1, r.height - 1}, topLeft);
    fill(cr, {r.x, r.bottom() - 1, r.width, 1}, bottomRight);
    fill(cr, {r.right() - 1, r.y, 1, r.height}, bottomRight);
}

Rect border(cairo_t* cr, const Rect& r, Border kind) {
    switch (kind) {
        case Border::None: return r;
        case Border::Single:
            edge(cr, r, palette::windowFrame, palette::windowFrame);
            return r.inflated(-1, -1);
        case Border::ShallowSunken:
            edge(cr, r, palette::shadow, palette::highlight);
            return r.inflated(-1, -1);
    }
    return r;
}

void windowFrame(cairo_t* cr, const Rect& outer) {
    edge(cr, outer, palette::light, palette::darkShadow);
    edge(cr, outer.inflated(-1, -1), palette::highlight, palette::shadow);
    edge(cr, outer.inflated(-2, -2), palette::face, palette::face);
}

void captionBar(cairo_t* cr, const Rect& bar, bool active) {
    const std::uint32_t left = active ? palette::activeCaptionLeft : palette::inactiveCaptionLeft;
    const std::uint32_t right = active ? palette::activeCaptionRight : palette::inactiveCaptionRight;
    cairo_pattern_t* gradient = cairo_pattern_create_linear(bar.x, 0, bar.right(), 0);
    auto stop = [gradient](double at, std::uint32_t rgb) {
        cairo_pattern_add_color_stop_rgb(gradient, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                         (rgb & 0xFF) / 255.0);
    };
    stop(0, left);
    stop(1, right);
    cairo_set_source(cr, gradient);
    cairo_rectangle(cr, bar.x, bar.y, bar.width, bar.height);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void captionButton(cairo_t* cr, const Rect& r, Glyph glyph, bool pressed) {
    fill(cr, r, palette::face);
    if (pressed) {
        edge(cr, r, palette::darkShadow, palette::highlight);
        edge(cr, r.inflated(-1, -1), palette::shadow, palette::light);
    } else {
        edge(cr, r, palette::highlight, palette::darkShadow);
        edge(cr, r.inflated(-1, -1), palette::light, palette::shadow);
    }
    const int shift = pressed ? 1 : 0;
    const int gx = r.x + 4 + shift, gy = r.y + 3 + shift;
    if (glyph == Glyph::Close) {
        // An 8 x 7 cross of 2-pixel strokes, as the Classic close glyph.
        for (int i = 0; i < 7; ++i) {
            fill(cr, {gx + i, gy + i, 2, 1}, 0x000000);
            fill(cr, {gx + 6 - i, gy + i, 2, 1}, 0x000000);
        }
    } else {
        fill(cr, {gx + 1, gy + 6, 6, 2}, 0x000000);
    }
}

void pushButton(cairo_t* cr, const Rect& r, bool pressed, bool isDefault) {
    fill(cr, r, palette::face);
    Rect face = r;
    if (isDefault) {
        edge(cr, face, palette::windowFrame, palette::windowFrame);
        face = face.inflated(-1, -1);
    }
    if (pressed) {
        edge(cr, face, palette::shadow, palette::shadow);
        return;
    }
    edge(cr, face, palette::highlight, palette::darkShadow);
    edge(cr, face.inflated(-1, -1), palette::light, palette::shadow);
}

void focusRect(cairo_t* cr, const Rect& r) {
    if (r.empty()) return;
    // Every other pixel, starting on the corner, like DrawFocusRect.
    source(cr, 0x000000);
    for (int x = r.x; x < r.right(); x += 2) {
        cairo_rectangle(cr, x, r.y, 1, 1);
        cairo_rectangle(cr, x, r.bottom() - 1, 1, 1);
    }
    for (int y = r.y; y < r.bottom(); y += 2) {
        cairo_rectangle(cr, r.x, y, 1, 1);
        cairo_rectangle(cr, r.right() - 1, y, 1, 1);
    }
    cairo_fill(cr);
}

}  // namespace tk::style
