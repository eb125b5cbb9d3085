#pragma once
// The pictures the program carries inside its binary, as the bytes of their files.

#include <cstdint>
#include <span>

namespace assets {

extern const std::span<const std::uint8_t> wallpaperWin7;
extern const std::span<const std::uint8_t> wallpaperWin8;
extern const std::span<const std::uint8_t> wallpaperWin10;
extern const std::span<const std::uint8_t> eyeMonitor;
extern const std::span<const std::uint8_t> uDrive;
extern const std::span<const std::uint8_t> programIcon16;
extern const std::span<const std::uint8_t> programIcon32;
extern const std::span<const std::uint8_t> programIcon;

}  // namespace assets
