#include "completion/completion_handlers.h"

#include "desktop/desktop_window.h"
#include "toolkit/toolkit.h"

namespace quillon {

void onFinishReleased(const tk::EventArgs& args) {
    args.window.toolkit().loadWindow(desktopWindow());
    args.window.toolkit().destroyWindow(args.window);
}

}  // namespace quillon
