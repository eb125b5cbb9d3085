// Desktop icons and the program icon.

#include <algorithm>
#include <cmath>

#include "canvas.hpp"
#include "pictures.hpp"

namespace assetgen {
namespace {

void add_rounded_rect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void paint_white(cairo_t* cr) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
}

}  // namespace

// A cartoon monitor staring out of its screen with one big eye.
void paint_eye_monitor(cairo_t* cr, int width, int height) {
    paint_white(cr);
    cairo_scale(cr, width / 82.0, height / 80.0);

    const Color outline = rgb(0x1d4f8f);
    const Color bezel_light = rgb(0xb4dcf7), bezel_dark = rgb(0x7dbbe8);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // Stand: neck and foot.
    cairo_move_to(cr, 35, 57);
    cairo_line_to(cr, 47, 57);
    cairo_line_to(cr, 50, 69);
    cairo_line_to(cr, 32, 69);
    cairo_close_path(cr);
    add_rounded_rect(cr, 21.5, 67.5, 39, 8, 4);
    cairo_pattern_t* stand = cairo_pattern_create_linear(0, 57, 0, 76);
    add_stop(stand, 0, bezel_dark);
    add_stop(stand, 1, bezel_light);
    use_pattern(cr, stand);
    cairo_fill_preserve(cr);
    set_color(cr, outline);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);

    // Bezel.
    add_rounded_rect(cr, 4.5, 4.5, 73, 54, 7);
    cairo_pattern_t* bezel = cairo_pattern_create_linear(0, 4, 0, 59);
    add_stop(bezel, 0, bezel_light);
    add_stop(bezel, 1, bezel_dark);
    use_pattern(cr, bezel);
    cairo_fill_preserve(cr);
    set_color(cr, outline);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);

    // Screen.
    add_rounded_rect(cr, 10.5, 10, 61, 42, 3.5);
    cairo_pattern_t* screen = cairo_pattern_create_linear(0, 10, 0, 52);
    add_stop(screen, 0, rgb(0x1f4fb0));
    add_stop(screen, 1, rgb(0x0c2566));
    use_pattern(cr, screen);
    cairo_fill_preserve(cr);
    set_color(cr, rgb(0x0a1f4f));
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);

    // Power light.
    cairo_arc(cr, 70.5, 55.5, 1.3, 0, 2 * M_PI);
    set_color(cr, rgb(0x3fd15a));
    cairo_fill(cr);

    // The eye: white, a dark iris, a pupil and a glint.
    const double ex = 41, ey = 31;
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_scale(cr, 1.0, 0.78);
    cairo_arc(cr, 0, 0, 19, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* white = cairo_pattern_create_radial(ex - 4, ey - 5, 2, ex, ey, 20);
    add_stop(white, 0, rgb(0xffffff));
    add_stop(white, 1, rgb(0xd6e4f2));
    use_pattern(cr, white);
    cairo_fill_preserve(cr);
    set_color(cr, rgb(0x06163a));
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);

    cairo_arc(cr, ex + 1, ey + 0.5, 9.5, 0, 2 * M_PI);
    cairo_pattern_t* iris = cairo_pattern_create_radial(ex + 1, ey + 0.5, 2, ex + 1, ey + 0.5, 9.5);
    add_stop(iris, 0, rgb(0x4a86c8));
    add_stop(iris, 0.7, rgb(0x1d3f78));
    add_stop(iris, 1, rgb(0x0c1d3c));
    use_pattern(cr, iris);
    cairo_fill(cr);

    cairo_arc(cr, ex + 1, ey + 0.5, 4.4, 0, 2 * M_PI);
    set_color(cr, rgb(0x050a14));
    cairo_fill(cr);

    cairo_arc(cr, ex - 2.2, ey - 2.8, 2.4, 0, 2 * M_PI);
    set_color(cr, rgb(0xffffff));
    cairo_fill(cr);
    cairo_arc(cr, ex + 4.5, ey + 3.6, 1.0, 0, 2 * M_PI);
    set_color(cr, rgb(0xffffff), 0.8);
    cairo_fill(cr);
}

// A fat rounded capital U with a blue-to-green diagonal gradient.
void paint_u_drive(cairo_t* cr, int width, int height) {
    paint_white(cr);
    cairo_scale(cr, width / 68.0, height / 67.0);

    auto add_u = [cr] {
        cairo_move_to(cr, 17, 13);
        cairo_line_to(cr, 17, 37);
        cairo_arc_negative(cr, 34, 37, 17, M_PI, 0);
        cairo_line_to(cr, 51, 13);
    };
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);

    // Darker rim.
    add_u();
    cairo_pattern_t* rim = cairo_pattern_create_linear(6, 4, 62, 62);
    add_stop(rim, 0, rgb(0x0f3f9e));
    add_stop(rim, 1, rgb(0x0e7a33));
    use_pattern(cr, rim);
    cairo_set_line_width(cr, 18);
    cairo_stroke(cr);

    // Body.
    add_u();
    cairo_pattern_t* body = cairo_pattern_create_linear(6, 4, 62, 62);
    add_stop(body, 0, rgb(0x2a6cf0));
    add_stop(body, 0.5, rgb(0x1f9ac0));
    add_stop(body, 1, rgb(0x27b84c));
    use_pattern(cr, body);
    cairo_set_line_width(cr, 15);
    cairo_stroke(cr);

    // Glossy highlight along the left stroke.
    cairo_move_to(cr, 13.5, 13);
    cairo_line_to(cr, 13.5, 36);
    set_color(cr, rgb(0xffffff), 0.35);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
}

// A yellow-green disc with a clockwise circular arrow cut out of it.
void paint_program_icon(cairo_t* cr, int size) {
    const double s = size;
    const double c = s / 2;

    cairo_arc(cr, c, c, s * 0.48, 0, 2 * M_PI);
    set_color(cr, rgb(0xa4d24f));
    cairo_fill(cr);

    // Small icons get a bolder arrow so it survives at a handful of pixels.
    const bool small = size <= 32;
    const double radius = s * (small ? 0.25 : 0.27);
    const double thickness = s * (small ? 0.15 : 0.115);
    const double wing = thickness * (small ? 1.05 : 1.25);  // arrowhead half-width
    const double tail = -20 * M_PI / 180;                  // arrow starts here...
    const double tip = (360 - 70) * M_PI / 180;            // ...and runs clockwise to here
    const double head = (small ? 1.25 : 1.55) * thickness / radius;  // arrowhead length (radians)
    const double base = tip - head;

    auto at = [c](double r, double angle) { return Point{c + r * std::cos(angle), c + r * std::sin(angle)}; };

    cairo_new_path(cr);
    cairo_arc(cr, c, c, radius + thickness / 2, tail, base);
    line_to(cr, at(radius + wing, base));
    line_to(cr, at(radius, tip));
    line_to(cr, at(radius - wing, base));
    cairo_arc_negative(cr, c, c, radius - thickness / 2, base, tail);
    cairo_close_path(cr);

    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
}

}  // namespace assetgen
