// The three desktop wallpapers.

#include <algorithm>
#include <cmath>

#include "canvas.hpp"
#include "pictures.hpp"

namespace assetgen {
namespace {

// Fills the whole surface (or current clip) with a round glow that fades out
// smoothly towards `radius`.
void paint_glow(cairo_t* cr, Point centre, double radius, Color color, double alpha) {
    cairo_pattern_t* glow = cairo_pattern_create_radial(centre.x, centre.y, 0, centre.x, centre.y, radius);
    for (int i = 0; i <= 8; ++i) {
        const double t = i / 8.0;
        const double falloff = (1 - t) * (1 - t) * (1 + 2 * t);  // smoothstep, reversed
        add_stop(glow, t, color, alpha * falloff);
    }
    use_pattern(cr, glow);
    cairo_paint(cr);
}

// Darkens the edges and corners of the image.
void paint_vignette(cairo_t* cr, double w, double h, Color color, double alpha) {
    cairo_pattern_t* shade =
        cairo_pattern_create_radial(w / 2, h / 2, std::min(w, h) * 0.35, w / 2, h / 2, std::hypot(w, h) * 0.55);
    add_stop(shade, 0, color, 0);
    add_stop(shade, 0.5, color, alpha * 0.35);
    add_stop(shade, 1, color, alpha);
    use_pattern(cr, shade);
    cairo_paint(cr);
}

// A quadrilateral with vertical left and right edges, seen in perspective:
// the shorter edge is further away, so steps along u shrink towards it.
struct PerspectiveQuad {
    Point top_left, top_right, bottom_left, bottom_right;

    Point at(double u, double v) const {
        // Edge heights are inversely proportional to depth; interpolate in
        // homogeneous coordinates so equal steps in u are foreshortened.
        const double depth_left = 1 / (bottom_left.y - top_left.y);
        const double depth_right = 1 / (bottom_right.y - top_right.y);
        const double wl = (1 - u) * depth_left, wr = u * depth_right;
        const double t = wr / (wl + wr);
        return lerp(lerp(top_left, top_right, t), lerp(bottom_left, bottom_right, t), v);
    }

    std::vector<Point> pane(double u0, double u1, double v0, double v1) const {
        return {at(u0, v0), at(u1, v0), at(u1, v1), at(u0, v1)};
    }
};

// The four panes of a window split by a cross of width `gap` (in u/v units).
std::vector<std::vector<Point>> window_panes(const PerspectiveQuad& quad, double gap_u, double gap_v) {
    const double a = 0.5 - gap_u / 2, b = 0.5 + gap_u / 2;
    const double c = 0.5 - gap_v / 2, d = 0.5 + gap_v / 2;
    return {quad.pane(0, a, 0, c), quad.pane(b, 1, 0, c), quad.pane(0, a, d, 1), quad.pane(b, 1, d, 1)};
}

// ---------------------------------------------------------------------------
// Seven: azure sky with a waving four-colour flag.

// Maps (u, v) in [0,1]^2 on the flag cloth to the picture.
struct Flag {
    Point centre;
    double width;
    double height;

    Point at(double u, double v) const {
        const double wave = std::sin(M_PI * (1.55 * u - 0.30)) * height * 0.070;
        const double bow = std::sin(M_PI * v) * width * 0.035 * (1 - u);
        const double shrink = 1.0 - 0.10 * u;  // right side a little further away
        const double tilt = (u - 0.5) * width * 0.07;
        return {centre.x + (u - 0.5) * width - bow, centre.y + (v - 0.5) * height * shrink + wave - tilt};
    }

    // Outline of the rectangle [u0,u1] x [v0,v1] on the cloth.
    std::vector<Point> patch(double u0, double u1, double v0, double v1) const {
        constexpr int kSteps = 48;
        std::vector<Point> points;
        for (int i = 0; i < kSteps; ++i) points.push_back(at(u0 + (u1 - u0) * i / kSteps, v0));
        for (int i = 0; i < kSteps; ++i) points.push_back(at(u1, v0 + (v1 - v0) * i / kSteps));
        for (int i = 0; i < kSteps; ++i) points.push_back(at(u1 - (u1 - u0) * i / kSteps, v1));
        for (int i = 0; i < kSteps; ++i) points.push_back(at(u0, v1 - (v1 - v0) * i / kSteps));
        return points;
    }
};

void paint_flag_pane(cairo_t* cr, const Flag& flag, double u0, double u1, double v0, double v1,
                     Color light, Color dark) {
    const std::vector<Point> outline = flag.patch(u0, u1, v0, v1);
    const Point a = flag.at(u0, v0), b = flag.at(u1, v1);

    cairo_save(cr);
    add_polygon(cr, outline);
    cairo_clip_preserve(cr);

    cairo_pattern_t* body = cairo_pattern_create_linear(a.x, a.y, b.x, b.y);
    add_stop(body, 0, light);
    add_stop(body, 1, dark);
    use_pattern(cr, body);
    cairo_fill(cr);

    // Soft sheen near the upper-left corner of each pane.
    const Point shine = flag.at(u0 + (u1 - u0) * 0.28, v0 + (v1 - v0) * 0.22);
    paint_glow(cr, shine, std::hypot(b.x - a.x, b.y - a.y) * 0.55, rgb(0xffffff), 0.38);
    cairo_restore(cr);

    // A thin bright rim.
    add_polygon(cr, outline);
    set_color(cr, rgb(0xffffff), 0.35);
    cairo_set_line_width(cr, 1.6 * flag.width / 440);
    cairo_stroke(cr);
}

}  // namespace

void paint_wallpaper_win7(cairo_t* cr, int width, int height) {
    const double w = width, h = height, s = w / 1920.0;

    cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
    add_stop(sky, 0.00, rgb(0x125fae));
    add_stop(sky, 0.30, rgb(0x2589d8));
    add_stop(sky, 0.58, rgb(0x1866ba));
    add_stop(sky, 1.00, rgb(0x03214f));
    use_pattern(cr, sky);
    cairo_paint(cr);

    paint_glow(cr, {w * 0.5, h * 0.42}, w * 0.55, rgb(0x9be0ff), 0.50);
    paint_vignette(cr, w, h, rgb(0x021638), 0.65);

    // Sweeping ribbons of light across the lower half.
    struct Ribbon {
        Point p0, c1, c2, p1;
        double width, alpha;
    };
    const Ribbon ribbons[] = {
        {{-0.05, 0.80}, {0.30, 0.52}, {0.62, 1.02}, {1.05, 0.66}, 300, 0.10},
        {{-0.05, 0.86}, {0.28, 0.62}, {0.66, 1.00}, {1.05, 0.72}, 70, 0.16},
        {{-0.05, 0.93}, {0.35, 0.72}, {0.70, 1.04}, {1.05, 0.82}, 30, 0.20},
        {{-0.05, 0.28}, {0.25, 0.10}, {0.70, 0.42}, {1.05, 0.18}, 240, 0.06},
    };
    for (const Ribbon& r : ribbons) {
        cairo_move_to(cr, r.p0.x * w, r.p0.y * h);
        cairo_curve_to(cr, r.c1.x * w, r.c1.y * h, r.c2.x * w, r.c2.y * h, r.p1.x * w, r.p1.y * h);
        soft_stroke(cr, rgb(0xc8ecff), r.width * s, r.alpha);
    }

    // Faint out-of-focus light spots.
    Random random(7);
    for (int i = 0; i < 36; ++i) {
        const Point c{random.uniform(0, w), random.uniform(0.08 * h, 0.95 * h)};
        const double radius = random.uniform(10, 55) * s;
        const double alpha = random.uniform(0.03, 0.09);
        cairo_pattern_t* spot = cairo_pattern_create_radial(c.x, c.y, 0, c.x, c.y, radius);
        add_stop(spot, 0, rgb(0xe0f4ff), alpha * 0.6);
        add_stop(spot, 0.85, rgb(0xe0f4ff), alpha);
        add_stop(spot, 1, rgb(0xe0f4ff), 0);
        use_pattern(cr, spot);
        cairo_arc(cr, c.x, c.y, radius, 0, 2 * M_PI);
        cairo_fill(cr);
    }

    // The logo: bright halo, soft shadow, then the four panes.
    const Flag flag{{w * 0.5, h * 0.46}, 430 * s, 390 * s};
    paint_glow(cr, flag.centre, 420 * s, rgb(0xffffff), 0.45);

    const double g = 0.022;  // half the gap between panes, in cloth units
    cairo_save(cr);
    cairo_translate(cr, 6 * s, 12 * s);
    for (int i = 0; i < 4; ++i) {
        const double u0 = (i % 2) ? 0.5 + g : 0, u1 = (i % 2) ? 1 : 0.5 - g;
        const double v0 = (i / 2) ? 0.5 + g : 0, v1 = (i / 2) ? 1 : 0.5 - g;
        add_polygon(cr, flag.patch(u0, u1, v0, v1));
    }
    cairo_path_t* shadow = cairo_copy_path(cr);
    set_color(cr, rgb(0x001a40), 0.10);
    cairo_fill(cr);
    cairo_append_path(cr, shadow);
    soft_stroke(cr, rgb(0x001a40), 56 * s, 0.16, 20);
    cairo_path_destroy(shadow);
    cairo_restore(cr);

    paint_flag_pane(cr, flag, 0, 0.5 - g, 0, 0.5 - g, rgb(0xff7a3c), rgb(0xe2361a));
    paint_flag_pane(cr, flag, 0.5 + g, 1, 0, 0.5 - g, rgb(0xa8e040), rgb(0x5fa312));
    paint_flag_pane(cr, flag, 0, 0.5 - g, 0.5 + g, 1, rgb(0x3cc4ff), rgb(0x0a7ed6));
    paint_flag_pane(cr, flag, 0.5 + g, 1, 0.5 + g, 1, rgb(0xffd64a), rgb(0xf0a300));
}

// ---------------------------------------------------------------------------
// Eight: red, a flat white window and dark curls in two corners.

namespace {

// One curl of an ornament: a stroke that bends ever more tightly and ends
// in a spiral. `turn` is +1 for clockwise, -1 for counter-clockwise.
struct Curl {
    Point start;
    double heading;   // radians
    double length;
    double winding;   // total turning in radians
    int turn;
    double width_start;
    double width_end;
};

struct CurlPath {
    std::vector<Point> points;
    std::vector<double> widths;
    std::vector<double> headings;
};

CurlPath trace_curl(const Curl& curl) {
    constexpr int kSteps = 360;
    constexpr double kTighten = 4.2;  // how fast the bend grows towards the end
    const double ds = curl.length / kSteps;
    const double scale = curl.winding / (curl.length * (std::exp(kTighten) - 1) / kTighten);

    CurlPath path;
    Point p = curl.start;
    double heading = curl.heading;
    for (int i = 0; i <= kSteps; ++i) {
        const double t = static_cast<double>(i) / kSteps;
        path.points.push_back(p);
        path.headings.push_back(heading);
        path.widths.push_back(curl.width_start + (curl.width_end - curl.width_start) * std::pow(t, 0.8));
        heading += curl.turn * scale * std::exp(kTighten * t) * ds;
        p = p + Point{std::cos(heading), std::sin(heading)} * ds;
    }
    return path;
}

void fill_curl(cairo_t* cr, const CurlPath& path) {
    add_tapered_stroke(cr, path.points, path.widths);
    cairo_fill(cr);
    // A small knob at the heart of the spiral.
    const Point end = path.points.back();
    cairo_arc(cr, end.x, end.y, path.widths.back() * 1.1, 0, 2 * M_PI);
    cairo_fill(cr);
}

// A stem that splits into curls, drawn with the corner at the origin and
// growing into +x/+y. `s` scales the whole ornament.
void paint_ornament(cairo_t* cr, double s) {
    const Curl stem{{-30 * s, 160 * s}, -0.30, 580 * s, 2.7 * M_PI, +1, 34 * s, 4.5 * s};
    const CurlPath main = trace_curl(stem);
    fill_curl(cr, main);

    struct Branch {
        double at;      // position along the parent, 0..1
        double offset;  // heading change at the fork
        double length, winding;
        int turn;
        double width;   // relative to the parent's width at the fork
    };
    const Branch branches[] = {
        {0.16, -0.60, 300, 2.5 * M_PI, -1, 0.70},
        {0.30, 0.70, 190, 2.2 * M_PI, +1, 0.55},
        {0.44, 0.60, 250, 2.3 * M_PI, -1, 0.60},
        {0.62, -0.75, 150, 2.0 * M_PI, -1, 0.55},
    };
    for (const Branch& b : branches) {
        const std::size_t index = static_cast<std::size_t>(b.at * (main.points.size() - 1));
        const Curl curl{main.points[index], main.headings[index] + b.offset, b.length * s, b.winding,
                        b.turn, main.widths[index] * b.width, 3.5 * s};
        fill_curl(cr, trace_curl(curl));
    }

    const Curl lower{{-30 * s, 330 * s}, -0.05, 230 * s, 2.2 * M_PI, -1, 16 * s, 3.5 * s};
    fill_curl(cr, trace_curl(lower));
    const Curl upper{{250 * s, -30 * s}, 1.9, 170 * s, 2.1 * M_PI, -1, 12 * s, 3 * s};
    fill_curl(cr, trace_curl(upper));
}

}  // namespace

void paint_wallpaper_win8(cairo_t* cr, int width, int height) {
    const double w = width, h = height, s = w / 990.0;

    cairo_pattern_t* red = cairo_pattern_create_radial(w * 0.5, h * 0.48, 0, w * 0.5, h * 0.48, w * 0.62);
    add_stop(red, 0, rgb(0xd9272e));
    add_stop(red, 1, rgb(0xa8121b));
    use_pattern(cr, red);
    cairo_paint(cr);

    // Ornaments in the top-left and, turned half way round, bottom-right.
    for (int corner = 0; corner < 2; ++corner) {
        cairo_save(cr);
        if (corner == 1) {
            cairo_translate(cr, w, h);
            cairo_rotate(cr, M_PI);
        }
        // Painted opaque into a group so overlapping strokes do not darken.
        cairo_push_group(cr);
        set_color(cr, rgb(0x6e0710));
        paint_ornament(cr, s);
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, 0.82);
        cairo_restore(cr);
    }

    // Flat white window, its left side turned away from the viewer.
    const PerspectiveQuad quad{{w * 0.405, h * 0.335}, {w * 0.600, h * 0.245},
                               {w * 0.405, h * 0.665}, {w * 0.600, h * 0.755}};
    set_color(cr, rgb(0xffffff));
    for (const auto& pane : window_panes(quad, 0.05, 0.045))
        add_polygon(cr, pane);
    cairo_fill(cr);
}

// ---------------------------------------------------------------------------
// Ten: a glowing blue window in the dark, light pouring out of it.

namespace {

// Convex hull (monotone chain), used to outline each beam of light.
std::vector<Point> convex_hull(std::vector<Point> points) {
    std::sort(points.begin(), points.end(),
              [](Point a, Point b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](Point o, Point a, Point b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); };
    std::vector<Point> hull(points.size() * 2);
    std::size_t k = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0) --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    return hull;
}

Point centroid(const std::vector<Point>& points) {
    Point sum;
    for (Point p : points) sum = sum + p;
    return sum * (1.0 / points.size());
}

}  // namespace

void paint_wallpaper_win10(cairo_t* cr, int width, int height) {
    const double w = width, h = height, s = w / 1920.0;

    cairo_pattern_t* night = cairo_pattern_create_radial(w * 0.62, h * 0.45, 0, w * 0.62, h * 0.45, w * 0.75);
    add_stop(night, 0, rgb(0x0b3a8c));
    add_stop(night, 0.45, rgb(0x06245f));
    add_stop(night, 1, rgb(0x010a1f));
    use_pattern(cr, night);
    cairo_paint(cr);

    // The window: left edge nearer to the viewer than the right one.
    const PerspectiveQuad quad{{w * 0.555, h * 0.215}, {w * 0.735, h * 0.305},
                               {w * 0.555, h * 0.785}, {w * 0.735, h * 0.695}};
    const auto panes = window_panes(quad, 0.035, 0.03);
    const Point source{w * 0.93, h * 0.50};  // the light behind the window

    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);

    // A beam per pane: the pane and its projection far towards the viewer.
    for (const auto& pane : panes) {
        std::vector<Point> corners = pane;
        for (Point p : pane) corners.push_back(source + (p - source) * 4.0);
        const std::vector<Point> beam = convex_hull(corners);
        const Point middle = centroid(pane);
        const double near = std::hypot(middle.x - source.x, middle.y - source.y);
        cairo_pattern_t* light = cairo_pattern_create_radial(source.x, source.y, near * 0.8, source.x, source.y, near * 4.0);
        add_stop(light, 0, rgb(0x2f86ff), 0.55);
        add_stop(light, 0.25, rgb(0x1f66e0), 0.28);
        add_stop(light, 1, rgb(0x0a3a9a), 0);
        use_pattern(cr, light);
        add_polygon(cr, beam);
        cairo_fill(cr);
    }

    // Thin rays inside the beam.
    Random random(10);
    for (int i = 0; i < 90; ++i) {
        const auto& pane = panes[random.next() % 4];
        const Point through = lerp(lerp(pane[0], pane[1], random.uniform()), lerp(pane[3], pane[2], random.uniform()),
                                   random.uniform());
        const Point far = source + (through - source) * 5.0;
        const double spread = random.uniform(0.004, 0.02);
        const Point side{-(far.y - source.y) * spread, (far.x - source.x) * spread};
        cairo_pattern_t* ray = cairo_pattern_create_linear(through.x, through.y, far.x, far.y);
        add_stop(ray, 0, rgb(0x7fb8ff), random.uniform(0.04, 0.12));
        add_stop(ray, 1, rgb(0x7fb8ff), 0);
        use_pattern(cr, ray);
        add_polygon(cr, {through, far + side, far - side});
        cairo_fill(cr);
    }

    // Bloom around the window.
    paint_glow(cr, centroid(quad.pane(0, 1, 0, 1)), 520 * s, rgb(0x1c5ed8), 0.45);
    cairo_restore(cr);

    // The glowing panes.
    for (const auto& pane : panes) {
        cairo_pattern_t* glass = cairo_pattern_create_linear(pane[0].x, pane[0].y, pane[2].x, pane[2].y);
        add_stop(glass, 0, rgb(0x8fd6ff));
        add_stop(glass, 0.5, rgb(0x3aa2ff));
        add_stop(glass, 1, rgb(0x1466e6));
        use_pattern(cr, glass);
        add_polygon(cr, pane);
        cairo_fill(cr);
    }
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
    for (const auto& pane : panes) {
        add_polygon(cr, pane);
        soft_stroke(cr, rgb(0x3c8cff), 28 * s, 0.35, 14);
    }
    cairo_restore(cr);
}

}  // namespace assetgen
