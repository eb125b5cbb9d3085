#include "support/toolkit_fixture.h"

#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <utility>

namespace quillon::test {

void ToolkitTest::SetUp() {
    tk::PlatformResult opened = tk::openSdlPlatform({.offscreen = true});
    ASSERT_TRUE(opened.platform) << opened.error;
    toolkit_ = std::make_unique<tk::Toolkit>(std::move(opened.platform));
}

void ToolkitTest::TearDown() { toolkit_.reset(); }

void ToolkitTest::press(const tk::Window& window, tk::Point client, int clicks) {
    toolkit().post({.type = tk::InputType::MouseDown,
                    .window = window.nativeId(),
                    .pos = outer(window, client),
                    .button = 1,
                    .clicks = clicks});
}

void ToolkitTest::release(const tk::Window& window, tk::Point client) {
    toolkit().post(
        {.type = tk::InputType::MouseUp, .window = window.nativeId(), .pos = outer(window, client), .button = 1});
}

void ToolkitTest::click(const tk::Window& window, tk::Point client) {
    press(window, client);
    release(window, client);
}

void ToolkitTest::clickOuter(const tk::Window& window, tk::Point outerPos) {
    toolkit().post({.type = tk::InputType::MouseDown, .window = window.nativeId(), .pos = outerPos, .button = 1});
    toolkit().post({.type = tk::InputType::MouseUp, .window = window.nativeId(), .pos = outerPos, .button = 1});
}

void ToolkitTest::key(tk::Key key, tk::KeyMods mods, tk::NativeId window) {
    toolkit().post({.type = tk::InputType::Key, .window = window, .key = key, .mods = mods});
}

bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    return std::abs(red(a) - red(b)) <= tolerance && std::abs(green(a) - green(b)) <= tolerance &&
           std::abs(blue(a) - blue(b)) <= tolerance;
}

std::string hex(std::uint32_t rgb) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%06X", rgb & 0xFFFFFFu);
    return text;
}

void expectClientPixels(const tk::Window& window, std::span<const PixelProbe> probes) {
    for (const PixelProbe& p : probes) {
        SCOPED_TRACE(p.what);
        EXPECT_EQ(hex(clientPixel(window, p.client)), hex(p.expected));
    }
}

std::string saveScreenshot(const tk::Window& window, const std::string& folder, const std::string& name) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::string path = (std::filesystem::path(folder) / name).string();
    cairo_surface_flush(window.surface());
    return cairo_surface_write_to_png(window.surface(), path.c_str()) == CAIRO_STATUS_SUCCESS ? path : std::string();
}

}  // namespace quillon::test
