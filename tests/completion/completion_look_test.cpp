// What the completion window looks like, probed pixel by pixel in its client area.

#include <gtest/gtest.h>

#include <string>

#include "completion_fixture.h"
#include "toolkit/color.h"

#ifndef QUILLON_SCREENSHOT_DIR
#error "QUILLON_SCREENSHOT_DIR must name the folder for screenshots"
#endif

namespace quillon::test {
namespace {

constexpr std::uint32_t kFace = tk::palette::face;
constexpr std::uint32_t kBar = tk::palette::highlightBar;

bool whitish(std::uint32_t c) { return red(c) >= 0xC0 && green(c) >= 0xC0 && blue(c) >= 0xC0; }
bool dark(std::uint32_t c) { return red(c) < 0x60 && green(c) < 0x60 && blue(c) < 0x60; }

using CompletionLook = CompletionTest;

TEST_F(CompletionLook, SavesAScreenshot) {
    const std::string path = saveScreenshot(completion(), QUILLON_SCREENSHOT_DIR, "completion.png");
    EXPECT_FALSE(path.empty()) << "cannot write into " << QUILLON_SCREENSHOT_DIR;
}

TEST_F(CompletionLook, BlackScreenWithAGreyPanel) {
    EXPECT_EQ(completion().outerSize(), (tk::Size{933, 619}));
    const PixelProbe probes[] = {
        {"background, top-left", {0, 0}, 0x000000},
        {"background, top-right", {926, 0}, 0x000000},
        {"background, bottom-left", {0, 593}, 0x000000},
        {"background, left of the panel", {63, 300}, 0x000000},
        {"background, right of the panel", {856, 300}, 0x000000},
        {"background, under the panel", {300, 504}, 0x000000},
        {"background, left of the link", {769, 580}, 0x000000},
        // 标签1 (64,48 792x456)
        {"panel, top-left", {64, 48}, kFace},
        {"panel, bottom-right", {855, 503}, kFace},
        {"panel, middle left", {100, 300}, kFace},
        // 标签2 (344,224 232x72): black, over the panel
        {"text box, top-left", {344, 224}, 0x000000},
        {"text box, bottom-right", {575, 295}, 0x000000},
        {"panel beside the text box", {343, 250}, kFace},
        // 进度条1 (72,465 768x32): a shallow sunken edge, a face-coloured ring, then the blocks
        {"bar, top edge", {300, 465}, tk::palette::shadow},
        {"bar, left edge", {72, 480}, tk::palette::shadow},
        {"bar, bottom edge", {300, 496}, tk::palette::highlight},
        {"bar, right edge", {839, 480}, tk::palette::highlight},
        {"bar, ring", {73, 480}, kFace},
        {"bar, first block", {74, 480}, kBar},
        // 标签3, the link (770,572 160x16), on the face colour
        {"link, top-left", {770, 572}, kFace},
        {"link, bottom-left", {770, 587}, kFace},
    };
    expectClientPixels(completion(), probes);
}

TEST_F(CompletionLook, TextBoxShowsWhiteText) {
    const tk::Rect box = completion().control("标签2").bounds();
    EXPECT_NE(findPixel(completion(), box, whitish), std::nullopt);
    // Centred: nothing white near the box's edges.
    EXPECT_EQ(findPixel(completion(), {box.x, box.y, 20, box.height}, whitish), std::nullopt);
    EXPECT_EQ(findPixel(completion(), {box.x, box.y, box.width, 10}, whitish), std::nullopt);
}

TEST_F(CompletionLook, BarIsFullOfBlocksWithGaps) {
    // Inside the edge and the ring: 764 x 28 from (74,467); blocks 18 wide, 2 apart.
    const tk::Rect area{74, 467, 764, 28};
    for (int y : {area.y, area.y + area.height / 2, area.bottom() - 1}) {
        SCOPED_TRACE("row " + std::to_string(y));
        int blocks = 0, mismatches = 0;
        for (int x = area.x; x < area.right(); ++x) {
            const bool inBlock = (x - area.x) % 20 < 18;
            const std::uint32_t c = clientPixel(completion(), {x, y});
            if (c != (inBlock ? kBar : kFace)) {
                if (++mismatches <= 3) ADD_FAILURE() << "x " << x << ": " << hex(c);
            }
            if (inBlock && (x - area.x) % 20 == 0) ++blocks;
        }
        EXPECT_EQ(mismatches, 0);
        EXPECT_EQ(blocks, 39);
    }
    // Full: the last block reaches the right end of the area.
    EXPECT_EQ(hex(clientPixel(completion(), {area.right() - 1, area.y + 5})), hex(kBar));
    EXPECT_EQ(hex(clientPixel(completion(), {area.right(), area.y + 5})), hex(kFace));
}

TEST_F(CompletionLook, LinkUnderlinesItsMnemonic) {
    const tk::Rect link = completion().control("标签3").bounds();
    // The underline is the one row of the link with a long run of dark pixels that no glyph
    // above it shares: find runs of at least 5 dark pixels and keep the lowest.
    int underlineRow = -1, runStart = -1, runLength = 0;
    for (int y = link.y; y < link.bottom(); ++y) {
        int run = 0;
        for (int x = link.x; x < completion().clientRect().width; ++x) {
            run = dark(clientPixel(completion(), {x, y})) ? run + 1 : 0;
            if (run >= 5) {
                underlineRow = y;
                runStart = x - run + 1;
                runLength = run;
            }
        }
    }
    ASSERT_NE(underlineRow, -1) << "no underline";
    // Under the F, which comes after the nine wide characters: in the right part of the text.
    EXPECT_GT(runStart, link.x + link.width / 2);
    EXPECT_LE(runLength, 10) << "underlines more than one letter";
    // The row under the underline is clear there.
    if (underlineRow + 1 < link.bottom()) {
        EXPECT_FALSE(dark(clientPixel(completion(), {runStart + 1, underlineRow + 1})));
    }
}

TEST_F(CompletionLook, LinkIsCutAtTheClientsRightEdge) {
    const tk::Rect client = completion().clientRect();
    ASSERT_EQ(client.width, 927);
    const tk::Rect link = completion().control("标签3").bounds();
    ASSERT_GT(link.right(), client.width) << "the link fits; nothing to cut";
    const int y = client.y + link.y + 1;  // the link's top row, in outer coordinates
    EXPECT_EQ(hex(completion().pixel({client.right() - 1, y})), hex(kFace));
    // The frame right of the client keeps its colours.
    const std::uint32_t frame[] = {tk::palette::face, tk::palette::shadow, tk::palette::darkShadow};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("outer x " + std::to_string(client.right() + i));
        EXPECT_EQ(hex(completion().pixel({client.right() + i, y})), hex(frame[i]));
    }
    // Above the link the same columns are black client and the same frame.
    EXPECT_EQ(hex(completion().pixel({client.right() - 1, y - 3})), hex(0x000000));
}

}  // namespace
}  // namespace quillon::test
