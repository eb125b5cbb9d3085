#pragma once
// The seam between the toolkit and the windowing system. One implementation (SDL) exists;
// it is the only code that talks to the windowing system. Everything above it works the
// same whether the platform shows windows on a real display or keeps them off screen.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "geometry.h"
#include "input.h"

namespace tk {

// A window's pixels: 32-bit XRGB, native endian, as Cairo's RGB24 format lays them out.
struct PixelBuffer {
    std::uint8_t* data = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
};

// One decoded icon size, 0xAARRGGBB per pixel, not premultiplied.
struct IconImage {
    int size = 0;
    std::vector<std::uint32_t> argb;
};

struct NewWindow {
    std::string_view title;  // UTF-8
    Rect outer;              // screen position and outer size
    std::span<const IconImage> icons;
    bool popup = false;  // a menu: no taskbar entry, no focus of its own
};

class Platform {
public:
    virtual ~Platform() = default;

    // Creates a hidden, undecorated window: the toolkit draws the frame itself.
    virtual std::optional<NativeId> createWindow(const NewWindow& request) = 0;
    virtual void destroyWindow(NativeId id) = 0;
    // Maps the window, raises it and gives it the keyboard focus.
    virtual void showWindow(NativeId id) = 0;
    virtual void focusWindow(NativeId id) = 0;
    virtual void minimizeWindow(NativeId id) = 0;
    virtual void moveWindow(NativeId id, Point screenPos) = 0;
    virtual Point windowPosition(NativeId id) = 0;

    virtual PixelBuffer pixels(NativeId id) = 0;
    virtual void present(NativeId id, std::span<const Rect> rects) = 0;

    virtual Size screenSize() = 0;
    // The mouse pointer, on the screen.
    virtual Point cursorPosition() = 0;

    // Blocks until the windowing system reports something, or returns the next queued report.
    virtual InputEvent waitEvent() = 0;
    virtual std::optional<InputEvent> pollEvent() = 0;
};

struct PlatformOptions {
    // Off screen: SDL's offscreen driver, for tests. On screen: a real display is required,
    // because a program that shows nothing has not done its job.
    bool offscreen = false;
};

struct PlatformResult {
    std::unique_ptr<Platform> platform;
    std::string error;  // set when platform is null
};

// Sets what the platform needs in the process environment before SDL starts. Call it before
// starting any thread: openSdlPlatform calls it too, and then finds nothing left to change.
void prepareEnvironment(const PlatformOptions& options);

PlatformResult openSdlPlatform(const PlatformOptions& options);

}  // namespace tk
