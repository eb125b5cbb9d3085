// The SDL platform: the one file of the toolkit that talks to the windowing system.
// [SECTION] set-up   [SECTION] windows   [SECTION] pixels   [SECTION] events

// SDL's installed headers leave its driver macros undefined; the build says whether X11 is here,
// and SDL_syswm.h then declares the X11 parts of its window information.
#if defined(QUILLON_X11) && !defined(SDL_VIDEO_DRIVER_X11)
#define SDL_VIDEO_DRIVER_X11 1
#endif

#include <SDL.h>
#include <SDL_syswm.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unordered_map>

#include "platform.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace tk {
namespace {

// ---------------------------------------------------------------------------------------------
// [SECTION] set-up

struct NativeWindow {
    SDL_Window* window = nullptr;
    SDL_Surface* shadow = nullptr;  // only when the window surface is not 32-bit XRGB
    bool popup = false;
};

bool isXrgb(const SDL_Surface* s) {
    return s && (s->format->format == SDL_PIXELFORMAT_RGB888 || s->format->format == SDL_PIXELFORMAT_ARGB8888);
}

#if defined(SDL_VIDEO_DRIVER_X11)
// The X server going away is not something to recover from; end with a clear word instead of
// Xlib's default, which names no program.
int onDisplayLost(Display*) {
    std::fputs("quillon: the connection to the X display was lost\n", stderr);
    std::_Exit(1);
}

// Xlib's default for a protocol error ends the process. The errors that reach us are
// asynchronous and harmless, such as SDL waking a window that was just destroyed, and must not
// turn a clean close into a failure.
int onProtocolError(Display*, XErrorEvent*) { return 0; }

Display* displayOf(SDL_Window* w) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    return SDL_GetWindowWMInfo(w, &info) && info.subsystem == SDL_SYSWM_X11 ? info.info.x11.display : nullptr;
}
#endif

class SdlPlatform final : public Platform {
public:
    ~SdlPlatform() override {
        for (auto& [id, w] : windows_) release(w);
        SDL_Quit();
    }

    // ------------------------------------------------------------------------------------------
    // [SECTION] windows

    std::optional<NativeId> createWindow(const NewWindow& request) override {
        const std::string title(request.title);
        const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS | (request.popup ? SDL_WINDOW_POPUP_MENU : 0);
        // No title here: SDL's X11 title conversion leaks in the C locale; setIdentity sets it.
        SDL_Window* w = SDL_CreateWindow(nullptr, request.outer.x, request.outer.y, request.outer.width,
                                         request.outer.height, flags);
        if (!w) return std::nullopt;
        NativeWindow native{w, nullptr};
        SDL_Surface* surface = SDL_GetWindowSurface(w);
        if (!surface) {
            SDL_DestroyWindow(w);
            return std::nullopt;
        }
        if (!isXrgb(surface)) {
            native.shadow = SDL_CreateRGBSurfaceWithFormat(0, surface->w, surface->h, 32, SDL_PIXELFORMAT_RGB888);
            if (!native.shadow) {
                SDL_DestroyWindow(w);
                return std::nullopt;
            }
        }
        setIdentity(w, title, request.icons);
        const NativeId id = SDL_GetWindowID(w);
        native.popup = request.popup;
        windows_[id] = native;
        return id;
    }

    void destroyWindow(NativeId id) override {
        auto it = windows_.find(id);
        if (it == windows_.end()) return;
        release(it->second);
        windows_.erase(it);
    }

    void showWindow(NativeId id) override {
        auto it = windows_.find(id);
        if (it == windows_.end()) return;
        SDL_ShowWindow(it->second.window);
        // A popup stays on top by itself and leaves the keyboard with its owner.
        if (it->second.popup) return;
        SDL_RaiseWindow(it->second.window);
        SDL_SetWindowInputFocus(it->second.window);
    }

    void focusWindow(NativeId id) override {
        if (SDL_Window* w = find(id)) SDL_SetWindowInputFocus(w);
    }

    void minimizeWindow(NativeId id) override {
        if (SDL_Window* w = find(id)) SDL_MinimizeWindow(w);
    }

    void moveWindow(NativeId id, Point p) override {
        if (SDL_Window* w = find(id)) SDL_SetWindowPosition(w, p.x, p.y);
    }

    Point windowPosition(NativeId id) override {
        Point p;
        if (SDL_Window* w = find(id)) SDL_GetWindowPosition(w, &p.x, &p.y);
        return p;
    }

    Size screenSize() override {
        SDL_Rect r{};
        if (SDL_GetDisplayBounds(0, &r) != 0) return {};
        return {r.w, r.h};
    }

    Point cursorPosition() override {
        Point p;
#if defined(SDL_VIDEO_DRIVER_X11)
        // SDL's global mouse state lags behind synthetic and fast motion; ask the server.
        if (Display* d = windows_.empty() ? nullptr : displayOf(windows_.begin()->second.window)) {
            ::Window root, child;
            int wx, wy;
            unsigned mask;
            if (XQueryPointer(d, DefaultRootWindow(d), &root, &child, &p.x, &p.y, &wx, &wy, &mask)) return p;
        }
#endif
        SDL_GetGlobalMouseState(&p.x, &p.y);
        return p;
    }

    // ------------------------------------------------------------------------------------------
    // [SECTION] pixels

    PixelBuffer pixels(NativeId id) override {
        auto it = windows_.find(id);
        if (it == windows_.end()) return {};
        SDL_Surface* s = it->second.shadow ? it->second.shadow : SDL_GetWindowSurface(it->second.window);
        if (!s) return {};
        return {static_cast<std::uint8_t*>(s->pixels), s->w, s->h, s->pitch};
    }

    void present(NativeId id, std::span<const Rect> rects) override {
        auto it = windows_.find(id);
        if (it == windows_.end() || rects.empty()) return;
        std::vector<SDL_Rect> sdlRects;
        sdlRects.reserve(rects.size());
        for (const Rect& r : rects) sdlRects.push_back({r.x, r.y, r.width, r.height});
        if (it->second.shadow) {
            SDL_Surface* target = SDL_GetWindowSurface(it->second.window);
            for (SDL_Rect r : sdlRects) SDL_BlitSurface(it->second.shadow, &r, target, &r);
        }
        SDL_UpdateWindowSurfaceRects(it->second.window, sdlRects.data(), static_cast<int>(sdlRects.size()));
    }

    // ------------------------------------------------------------------------------------------
    // [SECTION] events

    InputEvent waitEvent() override {
        for (;;) {
            SDL_Event e;
            if (!SDL_WaitEvent(&e)) return {.type = InputType::DisplayLost};
            if (auto t = translate(e)) return *t;
        }
    }

    std::optional<InputEvent> pollEvent() override {
        SDL_Event e;
        while (SDL_PollEvent(&e))
            if (auto t = translate(e)) return t;
        return std::nullopt;
    }

private:
    SDL_Window* find(NativeId id) const {
        auto it = windows_.find(id);
        return it == windows_.end() ? nullptr : it->second.window;
    }

    static void release(NativeWindow& w) {
        if (w.shadow) SDL_FreeSurface(w.shadow);
        SDL_DestroyWindow(w.window);
    }

    // Window class and every icon size: SDL alone would set one icon and a class of its choosing.
    static void setIdentity(SDL_Window* w, const std::string& title, std::span<const IconImage> icons) {
#if defined(SDL_VIDEO_DRIVER_X11)
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (SDL_GetWindowWMInfo(w, &info) && info.subsystem == SDL_SYSWM_X11) {
            Display* d = info.info.x11.display;
            const ::Window xw = info.info.x11.window;
            char name[] = "quillon";
            char cls[] = "Quillon";
            XClassHint hint{name, cls};
            XSetClassHint(d, xw, &hint);
            // The caption in UTF-8 whatever the locale.
            const Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
            for (Atom name : {XInternAtom(d, "_NET_WM_NAME", False), Atom{XA_WM_NAME}})
                XChangeProperty(d, xw, name, utf8, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
            std::vector<unsigned long> data;  // Xlib wants 32-bit CARDINALs in longs
            for (const IconImage& icon : icons) {
                data.push_back(static_cast<unsigned long>(icon.size));
                data.push_back(static_cast<unsigned long>(icon.size));
                for (std::uint32_t px : icon.argb) data.push_back(px);
            }
            if (!data.empty()) {
                const Atom netWmIcon = XInternAtom(d, "_NET_WM_ICON", False);
                XChangeProperty(d, xw, netWmIcon, XA_CARDINAL, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
            }
            return;
        }
#endif
        SDL_SetWindowTitle(w, title.c_str());
        // Elsewhere one icon is all SDL can carry: the largest.
        if (icons.empty()) return;
        const IconImage& icon = icons.back();
        SDL_Surface* s = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(icon.argb.data()), icon.size,
                                                            icon.size, 32, icon.size * 4, SDL_PIXELFORMAT_ARGB8888);
        if (s) {
            SDL_SetWindowIcon(w, s);
            SDL_FreeSurface(s);
        }
    }

    static Key keyOf(SDL_Keycode k) {
        switch (k) {
            case SDLK_ESCAPE: return Key::Escape;
            case SDLK_RETURN:
            case SDLK_KP_ENTER: return Key::Enter;
            case SDLK_SPACE: return Key::Space;
            case SDLK_TAB: return Key::Tab;
            case SDLK_LEFT: return Key::Left;
            case SDLK_RIGHT: return Key::Right;
            case SDLK_UP: return Key::Up;
            case SDLK_DOWN: return Key::Down;
            case SDLK_F4: return Key::F4;
            default: return Key::Other;
        }
    }

    static std::optional<InputEvent> translate(const SDL_Event& e) {
        switch (e.type) {
            case SDL_MOUSEMOTION:
                return InputEvent{.type = InputType::MouseMove, .window = e.motion.windowID, .pos = {e.motion.x, e.motion.y}};
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP:
                return InputEvent{.type = e.type == SDL_MOUSEBUTTONDOWN ? InputType::MouseDown : InputType::MouseUp,
                                  .window = e.button.windowID,
                                  .pos = {e.button.x, e.button.y},
                                  .button = e.button.button,
                                  .clicks = e.button.clicks};
            case SDL_KEYDOWN: {
                const Uint16 m = e.key.keysym.mod;
                const SDL_Keycode sym = e.key.keysym.sym;
                const bool alnum = (sym >= SDLK_a && sym <= SDLK_z) || (sym >= SDLK_0 && sym <= SDLK_9);
                return InputEvent{.type = InputType::Key,
                                  .window = e.key.windowID,
                                  .key = keyOf(sym),
                                  .letter = alnum ? static_cast<char>(sym) : '\0',
                                  .mods = {(m & KMOD_ALT) != 0, (m & KMOD_SHIFT) != 0, (m & KMOD_CTRL) != 0}};
            }
            case SDL_WINDOWEVENT: {
                const NativeId id = e.window.windowID;
                switch (e.window.event) {
                    case SDL_WINDOWEVENT_CLOSE: return InputEvent{.type = InputType::CloseRequested, .window = id};
                    case SDL_WINDOWEVENT_EXPOSED: return InputEvent{.type = InputType::Exposed, .window = id};
                    case SDL_WINDOWEVENT_LEAVE: return InputEvent{.type = InputType::MouseLeave, .window = id};
                    case SDL_WINDOWEVENT_FOCUS_GAINED: return InputEvent{.type = InputType::FocusGained, .window = id};
                    case SDL_WINDOWEVENT_FOCUS_LOST: return InputEvent{.type = InputType::FocusLost, .window = id};
                    case SDL_WINDOWEVENT_MOVED: return InputEvent{.type = InputType::Moved, .window = id};
                    default: return std::nullopt;
                }
            }
            default: return std::nullopt;
        }
    }

    std::unordered_map<NativeId, NativeWindow> windows_;
};

}  // namespace

void prepareEnvironment(const PlatformOptions& options) {
#if defined(__GLIBC__)
    // Window-sized pixel buffers come and go with every window and wallpaper, some on loader
    // threads. glibc's sliding mmap threshold would move them onto the heap of whichever arena
    // freed one last, where a freed buffer can stay resident; a fixed threshold keeps each in its
    // own mapping, given back to the system when freed.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);
#endif
    // Written only when different: once threads run, reading the environment is safe and writing
    // it is not, and the toolkit starts its loading threads right after this.
    auto set = [](const char* name, const char* value) {
        const char* now = SDL_getenv(name);
        if (!now || std::string_view(now) != value) SDL_setenv(name, value, 1);
    };
    // SDL reaches for the session and system buses as it starts (input methods, screen saver),
    // and with no session bus D-Bus would even start a process to make one. The program talks to
    // the display and to nothing else.
    set("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    set("DBUS_SYSTEM_BUS_ADDRESS", "disabled:");
    // The toolkit takes keys, never composed text; parsing the locale's compose table when SDL
    // opens its input method would be two thirds of SDL's start-up.
    if (!options.offscreen) set("XCOMPOSEFILE", "/dev/null");
}

PlatformResult openSdlPlatform(const PlatformOptions& options) {
    prepareEnvironment(options);
    // A plain shared-memory image: SDL's default OpenGL-backed surface costs start-up time and memory.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
    SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    // The screen saver is the user's business, not a prank's.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    if (options.offscreen) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    // Without a display to name, SDL's probing only makes the display libraries complain.
    if (!options.offscreen && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        return {nullptr, "cannot open a display (DISPLAY is not set)"};

#if defined(SDL_VIDEO_DRIVER_X11)
    // Before SDL starts: SDL keeps the handlers it finds and puts them back when it quits,
    // which is when a late error from its own second connection tends to arrive.
    if (!options.offscreen) {
        XSetIOErrorHandler(onDisplayLost);
        XSetErrorHandler(onProtocolError);
    }
#endif
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return {nullptr, std::string("cannot open a display: ") + SDL_GetError()};
    const std::string driver = SDL_GetCurrentVideoDriver() ? SDL_GetCurrentVideoDriver() : "";
    // With no display SDL quietly falls back to drawing nowhere; that is not a display.
    if (!options.offscreen && (driver == "offscreen" || driver == "dummy" || driver.empty())) {
        SDL_Quit();
        return {nullptr, "cannot open a display (is DISPLAY set?)"};
    }
    SDL_StopTextInput();
    return {std::make_unique<SdlPlatform>(), {}};
}

}  // namespace tk
