#include "style.h"

#include <algorithm>

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
        case Border::Raised:
            edge(cr, r, palette::light, palette::darkShadow);
            edge(cr, r.inflated(-1, -1), palette::highlight, palette::shadow);
            return r.inflated(-2, -2);
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

namespace {

void arc(cairo_t* cr, double cx, double cy, double radius, double from, double to, std::uint32_t rgb) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, radius, from, to);
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
}

}  // namespace

namespace {

void drawRadioMark(cairo_t* cr, const Rect& r, bool checked, bool pressed) {
    constexpr double pi = 3.14159265358979323846;
    const double cx = r.x + r.width / 2.0, cy = r.y + r.height / 2.0;
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_DEFAULT);
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, 5, 0, 2 * pi);
    cairo_set_source_rgb(cr, pressed ? 0xD4 / 255.0 : 1, pressed ? 0xD0 / 255.0 : 1, pressed ? 0xC8 / 255.0 : 1);
    cairo_fill(cr);
    // The sunken edge: dark along the upper left, light along the lower right.
    arc(cr, cx, cy, 6, 0.75 * pi, 1.75 * pi, palette::shadow);
    arc(cr, cx, cy, 6, -0.25 * pi, 0.75 * pi, palette::highlight);
    arc(cr, cx, cy, 5, 0.75 * pi, 1.75 * pi, palette::darkShadow);
    arc(cr, cx, cy, 5, -0.25 * pi, 0.75 * pi, palette::light);
    if (checked) {
        cairo_new_path(cr);
        cairo_arc(cr, cx, cy, 2, 0, 2 * pi);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

}  // namespace

void radioMark(cairo_t* cr, const Rect& r, bool checked, bool pressed) {
    // Antialiased circles are the dearest thing on a page of radio buttons: each of the four
    // looks is drawn once and copied from then on.
    static cairo_surface_t* looks[4] = {};
    cairo_surface_t*& look = looks[(checked ? 2 : 0) + (pressed ? 1 : 0)];
    if (!look) {
        look = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kRadioMark, kRadioMark);
        cairo_t* m = cairo_create(look);
        drawRadioMark(m, {0, 0, kRadioMark, kRadioMark}, checked, pressed);
        cairo_destroy(m);
    }
    cairo_set_source_surface(cr, look, r.x, r.y);
    cairo_paint(cr);
}

void progressFill(cairo_t* cr, const Rect& inner, double fraction, bool continuous) {
    fill(cr, inner, palette::face);
    const Rect area = inner.inflated(-1, -1);
    const int filled = static_cast<int>(area.width * std::clamp(fraction, 0.0, 1.0) + 0.5);
    if (continuous) {
        fill(cr, {area.x, area.y, filled, area.height}, palette::highlightBar);
        return;
    }
    // Blocks two thirds as wide as the bar is high, two pixels apart, as Classic draws them.
    const int block = std::max(2, area.height * 2 / 3);
    for (int x = 0; x < filled; x += block + 2)
        fill(cr, {area.x + x, area.y, std::min(block, area.width - x), area.height}, palette::highlightBar);
}

void tabButton(cairo_t* cr, const Rect& r, const TabLook& look, bool selected, bool hot) {
    const Rect inside = r.inflated(-1, 0);
    if (selected) {
        fill(cr, {inside.x, r.y + 1, inside.width, r.height - 1}, look.page);
    } else {
        cairo_pattern_t* g = cairo_pattern_create_linear(0, r.y + 1, 0, r.bottom() - 1);
        auto stop = [g](double at, std::uint32_t rgb) {
            cairo_pattern_add_color_stop_rgb(g, at, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                                             (rgb & 0xFF) / 255.0);
        };
        stop(0, look.gradientTop);
        stop(1, look.gradientBottom);
        cairo_set_source(cr, g);
        cairo_rectangle(cr, inside.x, r.y + 1, inside.width, r.height - 2);
        cairo_fill(cr);
        cairo_pattern_destroy(g);
        fill(cr, {r.x, r.bottom() - 1, r.width, 1}, look.outline);
    }
    fill(cr, {r.x, r.y, r.width, 1}, look.outline);
    fill(cr, {r.x, r.y, 1, r.height}, look.outline);
    fill(cr, {r.right() - 1, r.y, 1, r.height}, look.outline);
    if (selected || hot) {
        fill(cr, {r.x, r.y, r.width, 1}, look.bandEdge);
        fill(cr, {r.x, r.y + 1, r.width, 2}, look.band);
    }
}

void pageArea(cairo_t* cr, const Rect& r, const TabLook& look) {
    fill(cr, r, look.page);
    edge(cr, r, look.outline, look.outline);
}

}  // namespace tk::style
