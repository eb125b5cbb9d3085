#pragma once
// Fonts as window definitions name them, and the faces the toolkit draws them with.

#include <string_view>

namespace tk {

struct Font {
    std::string_view face;  // empty: the default UI face
    int pixels = 0;         // character height in pixels; 0: the default UI size
    int weight = 400;
};

inline constexpr int kDefaultFontPixels = 12;

}  // namespace tk
