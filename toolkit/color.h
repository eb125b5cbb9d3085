#pragma once
// 24-bit RGB colours, and the marker that stands for the toolkit's control-face colour.

#include <cstdint>

namespace tk {

struct Color {
    std::uint32_t rgb = 0;   // 0xRRGGBB
    bool isDefault = false;  // "use the control-face colour"

    friend bool operator==(const Color&, const Color&) = default;

    static constexpr Color of(std::uint32_t rgb) { return {rgb, false}; }
    static constexpr Color face() { return {0, true}; }

    double red() const { return ((rgb >> 16) & 0xFF) / 255.0; }
    double green() const { return ((rgb >> 8) & 0xFF) / 255.0; }
    double blue() const { return (rgb & 0xFF) / 255.0; }
};

// The Windows Classic 3D palette the toolkit draws its own parts with.
namespace palette {
inline constexpr std::uint32_t face = 0xD4D0C8;
inline constexpr std::uint32_t light = 0xD4D0C8;
inline constexpr std::uint32_t highlight = 0xFFFFFF;
inline constexpr std::uint32_t shadow = 0x808080;
inline constexpr std::uint32_t darkShadow = 0x404040;
inline constexpr std::uint32_t activeCaptionLeft = 0x0A246A;
inline constexpr std::uint32_t activeCaptionRight = 0xA6CAF0;
inline constexpr std::uint32_t inactiveCaptionLeft = 0x808080;
inline constexpr std::uint32_t inactiveCaptionRight = 0xC0C0C0;
inline constexpr std::uint32_t inactiveCaptionText = 0xD4D0C8;
inline constexpr std::uint32_t windowFrame = 0x000000;
inline constexpr std::uint32_t highlightBar = 0x0A246A;
}  // namespace palette

// The colour a Color means on screen.
constexpr std::uint32_t resolve(Color c) { return c.isDefault ? palette::face : c.rgb; }

}  // namespace tk
