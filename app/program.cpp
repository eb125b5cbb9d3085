#include "app/program.h"

#include <cstdio>

#include "assets.h"
#include "desktop/desktop_window.h"
#include "toolkit/toolkit.h"

namespace quillon {

std::int32_t chosenFamily = kFamilySeven;

std::span<const std::span<const std::uint8_t>> programIcons() {
    static const std::span<const std::uint8_t> icons[] = {assets::programIcon16, assets::programIcon32,
                                                          assets::programIcon};
    return icons;
}

// The program has nothing to prepare and nothing to put away; the hooks mark where that
// would happen.
void onInit() {}
void onExit() {}

void startUp(tk::Toolkit& toolkit) {
    onInit();
    toolkit.registerExitHook(onExit);
    toolkit.loadWindow(desktopWindow());
}

int run() {
    tk::Toolkit::Opened opened = tk::Toolkit::open({}, &desktopWindow());
    if (!opened.toolkit) {
        std::fprintf(stderr, "quillon: %s\n", opened.error.c_str());
        return 1;
    }
    startUp(*opened.toolkit);
    return opened.toolkit->run();
}

}  // namespace quillon
