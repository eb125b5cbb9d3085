// Cairo drawing surface plus the small geometry and colour helpers shared by
// all pictures.
#pragma once

#include <cstdint>
#include <vector>

#include <cairo.h>

#include "encode.hpp"

namespace assetgen {

// An image surface with its drawing context. RGB canvases are opaque
// (CAIRO_FORMAT_RGB24); RGBA canvases start fully transparent.
class Canvas {
public:
    enum class Kind { Rgb, Rgba };

    Canvas(int width, int height, Kind kind);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    int width() const { return width_; }
    int height() const { return height_; }

    // Reports a Cairo failure (allocation, invalid path, ...), if any.
    Error status() const;

    // Packed RGB copy of the pixels.
    RgbImage rgb() const;
    // Packed RGBA copy with premultiplied alpha undone.
    RgbaImage rgba() const;

private:
    int width_;
    int height_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

struct Point {
    double x = 0;
    double y = 0;
};

inline Point operator+(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }
inline Point operator-(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
inline Point operator*(Point a, double k) { return {a.x * k, a.y * k}; }
inline Point lerp(Point a, Point b, double t) { return a + (b - a) * t; }

struct Color {
    double r = 0;
    double g = 0;
    double b = 0;
};

constexpr Color rgb(std::uint32_t hex) {
    return {((hex >> 16) & 0xff) / 255.0, ((hex >> 8) & 0xff) / 255.0, (hex & 0xff) / 255.0};
}

Color mix(Color a, Color b, double t);

void set_color(cairo_t* cr, Color color, double alpha = 1.0);
void add_stop(cairo_pattern_t* pattern, double offset, Color color, double alpha = 1.0);
// Makes `pattern` the source and drops our reference to it.
void use_pattern(cairo_t* cr, cairo_pattern_t* pattern);

void move_to(cairo_t* cr, Point p);
void line_to(cairo_t* cr, Point p);
// Appends a closed polygon to the current path.
void add_polygon(cairo_t* cr, const std::vector<Point>& points);

// Appends the outline of a stroke along `centre` whose width varies per
// point (widths.size() == centre.size()), with round ends.
void add_tapered_stroke(cairo_t* cr, const std::vector<Point>& centre,
                        const std::vector<double>& widths);

// Strokes the current path many times with shrinking widths and a low alpha,
// which gives a soft band that fades out sideways. Clears the path.
void soft_stroke(cairo_t* cr, Color color, double width, double peak_alpha, int layers = 24);

// Small deterministic random source (same sequence on every platform).
class Random {
public:
    explicit Random(std::uint32_t seed) : state_(seed ? seed : 1) {}
    std::uint32_t next();
    double uniform(double lo = 0.0, double hi = 1.0);

private:
    std::uint32_t state_;
};

}  // namespace assetgen
