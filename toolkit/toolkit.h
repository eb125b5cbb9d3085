#pragma once
// The toolkit: loads and destroys windows, runs the event loop and message boxes, and ends
// the program. One thread; handlers run one at a time, inside the event loop.

#include <deque>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "definition.h"
#include "platform.h"
#include "system_menu.h"
#include "text.h"
#include "window.h"

namespace tk {

using ExitHook = void (*)();

class Toolkit {
public:
    explicit Toolkit(std::unique_ptr<Platform> platform);

    struct Opened {
        std::unique_ptr<Toolkit> toolkit;
        std::string error;  // set when toolkit is null
    };
    // Opens the platform and the toolkit, loading fonts meanwhile, and preparing the background
    // picture of the first window to be loaded, when the caller names it.
    static Opened open(const PlatformOptions& options, const WindowDef* first = nullptr);
    // A window being built takes the background picture prepared for its definition, if any.
    void takeEarlyPicture(const WindowDef& def, Picture& picture);
    ~Toolkit();
    Toolkit(std::unique_ptr<Platform> platform, std::unique_ptr<TextContext> text);
    Toolkit(const Toolkit&) = delete;
    Toolkit& operator=(const Toolkit&) = delete;

    // Builds a window from its definition, runs its created handler while it is still
    // invisible, paints its first frame, then shows it raised and with the keyboard focus.
    Window& loadWindow(const WindowDef& def);
    // Deferred: the window goes when the event loop next takes an event, before any later input.
    void destroyWindow(Window& window);
    // The close box, Esc and Alt+F4: the window goes as soon as the current event is handled.
    void closeWindow(Window& window);

    // Shows a modal message box titled "信息：" with one OK button, and returns when it is
    // dismissed. Every other window of the program ignores mouse and keys meanwhile.
    void messageBox(std::string_view text);

    // The title bar's system menu of a window; one is open at a time.
    void openSystemMenu(Window& owner);
    void closeSystemMenu();
    const SystemMenu* systemMenu() const { return menuOpen() ? menu_.get() : nullptr; }
    // A frameless window at a screen position that leaves the keyboard focus where it is.
    Window& openPopup(const WindowDef& def, Point screenPos);

    // Registers a routine to run when the program ends; a routine is registered once.
    void registerExitHook(ExitHook hook);
    // Stops event delivery, runs the exit hooks in order and ends the process with the code.
    [[noreturn]] void endProgram(int code);

    // Handles events until no window is left, then runs the exit hooks; returns the exit code 0.
    int run();

    // Feeds an event in as if the platform had reported it; handled before the platform's own.
    // Window 0 means the window that has the keyboard: the message box, or the last shown.
    void post(const InputEvent& event);
    // Handles every event already queued, then paints, without waiting for more.
    void processPending();

    std::vector<Window*> windows() const;
    Window* findWindow(NativeId id) const;
    Window* modalWindow() const { return modal_; }
    Platform& platform() const { return *platform_; }
    const TextContext& textContext() const { return *text_; }

    // Used by windows to run a program handler.
    void runHandler(Handler handler, const EventArgs& args);

private:
    Window& createWindow(const WindowDef& def, Point screenPos);
    bool menuOpen() const;
    bool routeToMenu(const InputEvent& event, Window& target);
    bool step(bool wait);
    void dispatch(const InputEvent& event);
    void removeDoomed();
    void paintAll();
    void runExitHooks();

    std::unique_ptr<Platform> platform_;
    std::unique_ptr<TextContext> text_;
    const WindowDef* earlyDef_ = nullptr;
    Picture earlyPicture_;
    std::vector<std::unique_ptr<Window>> windows_;
    std::vector<Window*> doomed_;
    std::deque<InputEvent> posted_;
    std::vector<ExitHook> exitHooks_;
    Window* modal_ = nullptr;
    std::unique_ptr<SystemMenu> menu_;
    int loopDepth_ = 0;
};

}  // namespace tk
