#include "toolkit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "image.h"

namespace tk {
namespace {

bool isUserInput(InputType t) {
    return t == InputType::MouseMove || t == InputType::MouseDown || t == InputType::MouseUp ||
           t == InputType::Key || t == InputType::CloseRequested;
}

std::vector<IconImage> decodeIcons(const WindowDef& def) {
    std::vector<IconImage> icons;
    for (auto bytes : def.icons) {
        DecodeResult r = decodePng(bytes);
        if (!r.ok() || r.image.width != r.image.height) continue;
        IconImage icon{r.image.width, {}};
        icon.argb.reserve(r.image.pixels.size());
        for (std::uint32_t p : r.image.pixels) {
            // Window managers want straight alpha; the decoder gives premultiplied.
            const std::uint32_t a = p >> 24;
            auto un = [a](std::uint32_t c) { return a ? std::min<std::uint32_t>(255, (c * 255 + a / 2) / a) : 0; };
            icon.argb.push_back((a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF));
        }
        icons.push_back(std::move(icon));
    }
    return icons;
}

}  // namespace

Toolkit::Toolkit(std::unique_ptr<Platform> platform) : platform_(std::move(platform)) {}

Toolkit::~Toolkit() {
    for (auto& w : windows_) platform_->destroyWindow(w->nativeId());
    windows_.clear();
}

// ---------------------------------------------------------------------------------------------
// Windows

Window& Toolkit::loadWindow(const WindowDef& def) {
    const Size screen = platform_->screenSize();
    // Centred on the primary screen by outer size; a screen too small leaves the top-left off it.
    const Rect outer{(screen.width - def.outerSize.width) / 2, (screen.height - def.outerSize.height) / 2,
                     def.outerSize.width, def.outerSize.height};
    const std::vector<IconImage> icons = decodeIcons(def);
    const auto id = platform_->createWindow({def.caption, outer, icons});
    if (!id) {
        // Without a window there is nothing to show; a failure must not pass for success.
        std::fputs("quillon: cannot create a window\n", stderr);
        std::exit(1);
    }
    windows_.push_back(std::make_unique<Window>(*this, def, *id, outer.origin()));
    Window& window = *windows_.back();
    window.fire(Event::Created, nullptr);
    window.paint();
    platform_->showWindow(*id);
    window.presentAll();
    return window;
}

void Toolkit::destroyWindow(Window& window) {
    if (std::find(doomed_.begin(), doomed_.end(), &window) == doomed_.end()) doomed_.push_back(&window);
}

void Toolkit::closeWindow(Window& window) { destroyWindow(window); }

void Toolkit::removeDoomed() {
    for (Window* w : std::exchange(doomed_, {})) {
        auto it = std::find_if(windows_.begin(), windows_.end(), [w](const auto& p) { return p.get() == w; });
        if (it == windows_.end()) continue;
        const NativeId id = w->nativeId();
        if (modal_ == w) modal_ = nullptr;
        windows_.erase(it);
        platform_->destroyWindow(id);
    }
}

std::vector<Window*> Toolkit::windows() const {
    std::vector<Window*> list;
    for (const auto& w : windows_) list.push_back(w.get());
    return list;
}

Window* Toolkit::findWindow(NativeId id) const {
    for (const auto& w : windows_)
        if (w->nativeId() == id) return w.get();
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Event loop

void Toolkit::runHandler(Handler handler, const EventArgs& args) { handler(args); }

void Toolkit::post(const InputEvent& event) { posted_.push_back(event); }

void Toolkit::dispatch(const InputEvent& event) {
    // A posted event without a window goes where the keyboard would send it: the message box
    // when one is up, otherwise the window shown last.
    Window* w = event.window == 0 ? (modal_ ? modal_ : windows_.empty() ? nullptr : windows_.back().get())
                                  : findWindow(event.window);
    if (!w) return;
    // While a message box is up, the other windows take no mouse or keys.
    if (modal_ && w != modal_ && isUserInput(event.type)) return;
    w->handle(event);
}

void Toolkit::paintAll() {
    for (const auto& w : windows_) {
        if (!w->needsPaint()) continue;
        const std::vector<Rect> painted = w->paint();
        w->present(painted);
    }
}

bool Toolkit::step(bool wait) {
    // Windows marked for destruction go first, before any later input, but never from
    // inside a nested loop, where the handler that holds them may still be running.
    if (loopDepth_ == 1) removeDoomed();
    paintAll();
    std::optional<InputEvent> event;
    if (!posted_.empty()) {
        event = posted_.front();
        posted_.pop_front();
    } else if (wait) {
        event = platform_->waitEvent();
    } else {
        event = platform_->pollEvent();
    }
    if (!event) return false;
    if (event->type == InputType::DisplayLost) {
        std::fputs("quillon: the connection to the display was lost\n", stderr);
        std::exit(1);
    }
    dispatch(*event);
    return true;
}

int Toolkit::run() {
    ++loopDepth_;
    for (;;) {
        removeDoomed();
        if (windows_.empty()) break;
        step(true);
    }
    --loopDepth_;
    runExitHooks();
    return 0;
}

void Toolkit::processPending() {
    ++loopDepth_;
    while (step(false)) {
    }
    removeDoomed();
    paintAll();
    --loopDepth_;
}

// ---------------------------------------------------------------------------------------------
// End of the program

void Toolkit::registerExitHook(ExitHook hook) {
    if (std::find(exitHooks_.begin(), exitHooks_.end(), hook) == exitHooks_.end()) exitHooks_.push_back(hook);
}

void Toolkit::runExitHooks() {
    for (ExitHook hook : std::exchange(exitHooks_, {})) hook();
}

void Toolkit::endProgram(int code) {
    posted_.clear();
    runExitHooks();
    std::exit(code);
}

}  // namespace tk
