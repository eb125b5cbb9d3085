#include "canvas.hpp"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace assetgen {

Canvas::Canvas(int width, int height, Kind kind)
    : width_(width),
      height_(height),
      surface_(cairo_image_surface_create(
          kind == Kind::Rgb ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, width, height)),
      cr_(cairo_create(surface_)) {
    // New image surfaces are zeroed: transparent for RGBA, black for RGB.
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_BEST);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

Error Canvas::status() const {
    cairo_status_t status = cairo_surface_status(surface_);
    if (status == CAIRO_STATUS_SUCCESS)
        status = cairo_status(cr_);
    if (status == CAIRO_STATUS_SUCCESS)
        return {};
    return std::string("cairo: ") + cairo_status_to_string(status);
}

namespace {

// Reads one pixel of a CAIRO_FORMAT_RGB24/ARGB32 surface (native-endian
// 32-bit words: 0xAARRGGBB).
std::uint32_t pixel_at(const unsigned char* data, int stride, int x, int y) {
    std::uint32_t word;
    std::memcpy(&word, data + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * 4,
                sizeof word);
    return word;
}

}  // namespace

RgbImage Canvas::rgb() const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);

    RgbImage image{width_, height_, {}};
    image.pixels.reserve(static_cast<std::size_t>(width_) * height_ * 3);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t p = pixel_at(data, stride, x, y);
            image.pixels.push_back(static_cast<unsigned char>((p >> 16) & 0xff));
            image.pixels.push_back(static_cast<unsigned char>((p >> 8) & 0xff));
            image.pixels.push_back(static_cast<unsigned char>(p & 0xff));
        }
    }
    return image;
}

RgbaImage Canvas::rgba() const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    const bool opaque = cairo_image_surface_get_format(surface_) == CAIRO_FORMAT_RGB24;

    auto unpremultiply = [](std::uint32_t channel, std::uint32_t alpha) {
        return static_cast<unsigned char>(std::min<std::uint32_t>(255, (channel * 255 + alpha / 2) / alpha));
    };

    RgbaImage image{width_, height_, {}};
    image.pixels.reserve(static_cast<std::size_t>(width_) * height_ * 4);
    for (int y = 0; y < height_; ++y) {
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t p = pixel_at(data, stride, x, y);
            const std::uint32_t a = opaque ? 255 : p >> 24;
            if (a == 0) {
                image.pixels.insert(image.pixels.end(), {0, 0, 0, 0});
                continue;
            }
            image.pixels.push_back(unpremultiply((p >> 16) & 0xff, a));
            image.pixels.push_back(unpremultiply((p >> 8) & 0xff, a));
            image.pixels.push_back(unpremultiply(p & 0xff, a));
            image.pixels.push_back(static_cast<unsigned char>(a));
        }
    }
    return image;
}

Color mix(Color a, Color b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

void set_color(cairo_t* cr, Color color, double alpha) {
    cairo_set_source_rgba(cr, color.r, color.g, color.b, alpha);
}

void add_stop(cairo_pattern_t* pattern, double offset, Color color, double alpha) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, color.r, color.g, color.b, alpha);
}

void use_pattern(cairo_t* cr, cairo_pattern_t* pattern) {
    cairo_set_source(cr, pattern);
    cairo_pattern_destroy(pattern);
}

void move_to(cairo_t* cr, Point p) { cairo_move_to(cr, p.x, p.y); }
void line_to(cairo_t* cr, Point p) { cairo_line_to(cr, p.x, p.y); }

void add_polygon(cairo_t* cr, const std::vector<Point>& points) {
    if (points.empty())
        return;
    move_to(cr, points.front());
    for (std::size_t i = 1; i < points.size(); ++i)
        line_to(cr, points[i]);
    cairo_close_path(cr);
}

void add_tapered_stroke(cairo_t* cr, const std::vector<Point>& centre,
                        const std::vector<double>& widths) {
    const std::size_t n = centre.size();
    if (n < 2 || widths.size() != n)
        return;

    std::vector<Point> left(n), right(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = centre[i == 0 ? 0 : i - 1];
        const Point b = centre[i + 1 == n ? i : i + 1];
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double length = std::max(1e-9, std::hypot(dx, dy));
        const Point normal{-dy / length, dx / length};
        left[i] = centre[i] + normal * (widths[i] / 2);
        right[i] = centre[i] - normal * (widths[i] / 2);
    }

    move_to(cr, left.front());
    for (std::size_t i = 1; i < n; ++i)
        line_to(cr, left[i]);
    for (std::size_t i = n; i-- > 0;)
        line_to(cr, right[i]);
    cairo_close_path(cr);

    // Round ends as separate discs, wound the same way as the outline so the
    // non-zero fill rule merges them instead of punching holes.
    double area = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = i == 0 ? right.front() : left[i - 1];
        area += a.x * left[i].y - left[i].x * a.y;
        const Point c = right[n - 1 - i];
        const Point d = i == 0 ? left.back() : right[n - i];
        area += d.x * c.y - c.x * d.y;
    }
    auto disc = [cr, area](Point c, double radius) {
        cairo_new_sub_path(cr);
        if (area >= 0)
            cairo_arc(cr, c.x, c.y, radius, 0, 2 * M_PI);
        else
            cairo_arc_negative(cr, c.x, c.y, radius, 2 * M_PI, 0);
    };
    disc(centre.front(), widths.front() / 2);
    disc(centre.back(), widths.back() / 2);
}

void soft_stroke(cairo_t* cr, Color color, double width, double peak_alpha, int layers) {
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    // Each layer adds a little; the centre is covered by every layer.
    const double step_alpha = 1.0 - std::pow(1.0 - peak_alpha, 1.0 / layers);
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (int i = 0; i < layers; ++i) {
        const double t = 1.0 - static_cast<double>(i) / layers;
        cairo_append_path(cr, path);
        cairo_set_line_width(cr, width * t);
        set_color(cr, color, step_alpha);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
    cairo_path_destroy(path);
}

std::uint32_t Random::next() {
    // xorshift32
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

double Random::uniform(double lo, double hi) {
    return lo + (hi - lo) * (next() / 4294967296.0);
}

}  // namespace assetgen
