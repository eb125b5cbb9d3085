#pragma once
// The program's entry, its one piece of state, and the hooks that open and close it.

#include <cstdint>
#include <span>

namespace tk {
class Toolkit;
}

namespace quillon {

// Which family of systems the last pass through the reinstall panel chose:
// 0 the seven family (also at start), 1 the ten family, 2 the eight family, 4 none.
extern std::int32_t chosenFamily;

inline constexpr std::int32_t kFamilySeven = 0;
inline constexpr std::int32_t kFamilyTen = 1;
inline constexpr std::int32_t kFamilyEight = 2;
inline constexpr std::int32_t kFamilyNone = 4;

// The program icon at 16, 32 and 128 pixels, for the title bars and the taskbar.
std::span<const std::span<const std::uint8_t>> programIcons();

void onInit();
void onExit();

// Runs the init hook, registers the exit hook and loads the desktop window.
void startUp(tk::Toolkit& toolkit);

// The whole program: opens the display, starts up and runs the event loop.
int run();

}  // namespace quillon
