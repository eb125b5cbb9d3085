#pragma once
// A headless toolkit for one test: SDL's offscreen driver, opened in SetUp and closed in
// TearDown (SDL can be open only once at a time in a process), plus helpers that post input
// the way the platform would report it and read back what was painted.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "toolkit/toolkit.h"

namespace quillon::test {

// Input events carry outer coordinates; the client area starts at clientRect().origin().
inline tk::Point outer(const tk::Window& window, tk::Point client) { return client + window.clientRect().origin(); }
inline std::uint32_t clientPixel(const tk::Window& window, tk::Point client) {
    return window.pixel(outer(window, client));
}

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    tk::Toolkit& toolkit() { return *toolkit_; }

    // Positions in the window's client area.
    void press(const tk::Window& window, tk::Point client, int clicks = 1);
    void release(const tk::Window& window, tk::Point client);
    void click(const tk::Window& window, tk::Point client);
    // Outer coordinates, for the frame.
    void clickOuter(const tk::Window& window, tk::Point outerPos);
    // Window 0: the window that has the keyboard (the message box when one is up).
    void key(tk::Key key, tk::KeyMods mods = {}, tk::NativeId window = 0);

    std::unique_ptr<tk::Toolkit> toolkit_;
};

// Colours, 0xRRGGBB.
inline int red(std::uint32_t rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
inline int green(std::uint32_t rgb) { return static_cast<int>((rgb >> 8) & 0xFF); }
inline int blue(std::uint32_t rgb) { return static_cast<int>(rgb & 0xFF); }
// Every channel within tolerance of the other colour's.
bool near(std::uint32_t a, std::uint32_t b, int tolerance);
std::string hex(std::uint32_t rgb);

// A pixel a test expects in a window's client area, and what lies there.
struct PixelProbe {
    const char* what;
    tk::Point client;
    std::uint32_t expected;
};
// Checks every probe, each failure named by its probe.
void expectClientPixels(const tk::Window& window, std::span<const PixelProbe> probes);

// The first pixel of a client rectangle that satisfies pred, if any.
template <typename Pred>
std::optional<tk::Point> findPixel(const tk::Window& window, const tk::Rect& client, Pred pred) {
    for (int y = client.y; y < client.bottom(); ++y)
        for (int x = client.x; x < client.right(); ++x)
            if (pred(clientPixel(window, {x, y}))) return tk::Point{x, y};
    return std::nullopt;
}

// Writes the window's pixels as a PNG named name into folder (created if missing); returns
// the path, or an empty string on failure.
std::string saveScreenshot(const tk::Window& window, const std::string& folder, const std::string& name);

}  // namespace quillon::test
