#pragma once
// Integer geometry in pixels: points, sizes and rectangles (left, top, width, height).

#include <algorithm>

namespace tk {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
    constexpr Point operator+(Point o) const { return {x + o.x, y + o.y}; }
    constexpr Point operator-(Point o) const { return {x - o.x, y - o.y}; }
};

struct Size {
    int width = 0;
    int height = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    friend bool operator==(const Rect&, const Rect&) = default;

    int right() const { return x + width; }
    int bottom() const { return y + height; }
    Point origin() const { return {x, y}; }
    Size size() const { return {width, height}; }
    bool empty() const { return width <= 0 || height <= 0; }

    bool contains(Point p) const { return p.x >= x && p.y >= y && p.x < right() && p.y < bottom(); }
    bool contains(const Rect& r) const {
        return r.empty() || (r.x >= x && r.y >= y && r.right() <= right() && r.bottom() <= bottom());
    }
    bool intersects(const Rect& r) const { return !intersected(r).empty(); }

    Rect translated(Point d) const { return {x + d.x, y + d.y, width, height}; }
    Rect inflated(int dx, int dy) const { return {x - dx, y - dy, width + 2 * dx, height + 2 * dy}; }

    Rect intersected(const Rect& r) const {
        const int l = std::max(x, r.x), t = std::max(y, r.y);
        const int rr = std::min(right(), r.right()), b = std::min(bottom(), r.bottom());
        return rr > l && b > t ? Rect{l, t, rr - l, b - t} : Rect{};
    }
    Rect united(const Rect& r) const {
        if (empty()) return r;
        if (r.empty()) return *this;
        const int l = std::min(x, r.x), t = std::min(y, r.y);
        return {l, t, std::max(right(), r.right()) - l, std::max(bottom(), r.bottom()) - t};
    }
};

}  // namespace tk
