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

Toolkit::Toolkit(std::unique_ptr<Platform> platform)
    : Toolkit(std::move(platform), std::make_unique<TextContext>()) {}

Toolkit::Toolkit(std::unique_ptr<Platform> platform, std::unique_ptr<TextContext> text)
    : platform_(std::move(platform)), text_(std::move(text)) {}

Toolkit::Opened Toolkit::open(const PlatformOptions& options, const WindowDef* first) {
    // The fonts load, and the first window's picture is decoded, on other threads while the
    // display is opened; the environment is settled before any of them starts.
    prepareEnvironment(options);
    auto text = std::make_unique<TextContext>();
    Picture early;
    if (first) {
        early.set(first->picture);
        early.prepareAhead(Window::clientRectOf(*first).size(), resolve(first->backColor));
    }
    PlatformResult opened = openSdlPlatform(options);
    if (!opened.platform) return {nullptr, opened.error};
    auto toolkit = std::make_unique<Toolkit>(std::move(opened.platform), std::move(text));
    if (first) {
        toolkit->earlyDef_ = first;
        toolkit->earlyPicture_.swap(early);
    }
    return {std::move(toolkit), {}};
}

void Toolkit::takeEarlyPicture(const WindowDef& def, Picture& picture) {
    if (earlyDef_ != &def) return;
    earlyDef_ = nullptr;
    picture.swap(earlyPicture_);
}

Toolkit::~Toolkit() {
    // A window's drawing surface points into the platform's pixels: it goes first.
    while (!windows_.empty()) {
        const NativeId id = windows_.back()->nativeId();
        windows_.pop_back();
        platform_->destroyWindow(id);
    }
    menu_.reset();
}

// ---------------------------------------------------------------------------------------------
// Windows

Window& Toolkit::createWindow(const WindowDef& def, Point screenPos) {
    const std::vector<IconImage> icons = decodeIcons(def);
    const Rect outer{screenPos.x, screenPos.y, def.outerSize.width, def.outerSize.height};
    const auto id = platform_->createWindow({def.caption, outer, icons, def.popup});
    if (!id) {
        // Without a window there is nothing to show; a failure must not pass for success.
        std::fputs("quillon: cannot create a window\n", stderr);
        std::exit(1);
    }
    windows_.push_back(std::make_unique<Window>(*this, def, *id, screenPos));
    return *windows_.back();
}

Window& Toolkit::loadWindow(const WindowDef& def) {
    const Size screen = platform_->screenSize();
    // Centred on the primary screen by outer size; a screen too small leaves the top-left off it.
    Window& window = createWindow(
        def, {(screen.width - def.outerSize.width) / 2, (screen.height - def.outerSize.height) / 2});
    window.fire(Event::Created, nullptr);
    const NativeId id = window.nativeId();
    window.paint();
    platform_->showWindow(id);
    window.presentAll();
    return window;
}

Window& Toolkit::openPopup(const WindowDef& def, Point screenPos) {
    Window& window = createWindow(def, screenPos);
    window.paint();
    platform_->showWindow(window.nativeId());
    window.presentAll();
    return window;
}

void Toolkit::openSystemMenu(Window& owner) {
    closeSystemMenu();
    menu_ = std::make_unique<SystemMenu>(*this, owner);
}

void Toolkit::closeSystemMenu() {
    if (!menuOpen()) return;
    destroyWindow(menu_->popup());
    platform_->focusWindow(menu_->owner().nativeId());
}

bool Toolkit::menuOpen() const {
    return menu_ && std::find(doomed_.begin(), doomed_.end(), &menu_->popup()) == doomed_.end();
}

void Toolkit::destroyWindow(Window& window) {
    if (std::find(doomed_.begin(), doomed_.end(), &window) == doomed_.end()) doomed_.push_back(&window);
}

void Toolkit::closeWindow(Window& window) {
    if (menu_ && &menu_->owner() == &window) closeSystemMenu();
    destroyWindow(window);
}

void Toolkit::removeDoomed() {
    // Inside a nested loop a handler may still hold a doomed window; only popups go then.
    const bool all = loopDepth_ <= 1;
    std::vector<Window*> keep;
    for (Window* w : std::exchange(doomed_, {})) {
        if (!all && !w->definition().popup) {
            keep.push_back(w);
            continue;
        }
        auto it = std::find_if(windows_.begin(), windows_.end(), [w](const auto& p) { return p.get() == w; });
        if (it == windows_.end()) continue;
        const NativeId id = w->nativeId();
        if (modal_ == w) modal_ = nullptr;
        windows_.erase(it);
        platform_->destroyWindow(id);
        if (menu_ && &menu_->popup() == w) menu_.reset();
    }
    doomed_ = std::move(keep);
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
    if (modal_ && w != modal_ && isUserInput(event.type) && !(menuOpen() && w == &menu_->popup())) return;
    if (menuOpen() && routeToMenu(event, *w)) return;
    w->handle(event);
}

// While the system menu is open it takes the keys, and a press anywhere but on it closes it.
bool Toolkit::routeToMenu(const InputEvent& event, Window& target) {
    SystemMenu& menu = *menu_;
    // The keys come to the owner or, where the window system gave it the focus, to the menu.
    if (event.type == InputType::Key) {
        if (event.key == Key::F4 && event.mods.alt) {
            closeWindow(menu.owner());
            return true;
        }
        menu.key(event);
        return true;
    }
    if (&target == &menu.popup()) return false;
    switch (event.type) {
        case InputType::MouseDown:
            closeSystemMenu();
            // A double-click on the caption icon closes the window, as the first click opened the menu.
            if (&target == &menu.owner() && event.clicks % 2 == 0 && target.partAt(event.pos) == FramePart::Icon)
                closeWindow(target);
            return true;
        default: return false;
    }
}

void Toolkit::paintAll() {
    for (const auto& w : windows_) {
        if (!w->needsPaint()) continue;
        const std::vector<Rect> painted = w->paint();
        w->present(painted);
    }
}

bool Toolkit::step(bool wait) {
    // Windows marked for destruction go first, before any later input (inside a nested loop
    // only popups; see removeDoomed).
    removeDoomed();
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
