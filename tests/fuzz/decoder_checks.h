#pragma once
// What the fuzzers and the regression replay ask of the decoders for any bytes at all: return,
// with either an error or a picture that keeps the promises of image.h. A broken promise stops
// the process with a message, which libFuzzer reports as a crash.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>

#include "image.h"

namespace quillon::fuzz {

#define QUILLON_FUZZ_CHECK(cond)                                                       \
    do {                                                                               \
        if (!(cond)) {                                                                 \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

using Bytes = std::span<const std::uint8_t>;

// The knobs of a scaled and banded decode, taken from the input's first bytes (FNV-1a over
// them), so that a given input always decodes the same way. For a JFIF file those bytes hold
// the density fields, which the decoder ignores: mutating them changes the knobs alone.
struct JpegKnobs {
    tk::Size target;
    int bandRows;
    int overlap;
};

inline JpegKnobs knobsFor(Bytes bytes) {
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < std::min<std::size_t>(bytes.size(), 20); ++i) h = (h ^ bytes[i]) * 16777619u;
    return {{1 + static_cast<int>(h % 320), 1 + static_cast<int>((h >> 9) % 320)},
            1 + static_cast<int>((h >> 18) % 24),
            static_cast<int>((h >> 27) % 6)};
}

inline void checkPicture(const tk::DecodeResult& r) {
    if (!r.ok()) {
        QUILLON_FUZZ_CHECK(r.image.pixels.empty());
        return;
    }
    QUILLON_FUZZ_CHECK(r.image.width > 0 && r.image.height > 0);
    QUILLON_FUZZ_CHECK(r.image.pixels.size() ==
                       static_cast<std::size_t>(r.image.width) * static_cast<std::size_t>(r.image.height));
    // Premultiplied: no colour channel exceeds the alpha.
    for (std::uint32_t p : r.image.pixels) {
        const std::uint32_t a = p >> 24;
        QUILLON_FUZZ_CHECK(((p >> 16) & 0xFF) <= a && ((p >> 8) & 0xFF) <= a && (p & 0xFF) <= a);
    }
}

inline void checkOpaque(const tk::DecodeResult& r) {
    for (std::uint32_t p : r.image.pixels) QUILLON_FUZZ_CHECK((p >> 24) == 0xFF);
}

inline void checkJpeg(Bytes bytes) {
    const tk::DecodeResult full = tk::decodeJpeg(bytes);
    checkPicture(full);
    checkOpaque(full);

    // The DCT-scaled path: the result covers the target, or is the full picture.
    const JpegKnobs k = knobsFor(bytes);
    const tk::DecodeResult scaled = tk::decodeJpeg(bytes, k.target);
    checkPicture(scaled);
    checkOpaque(scaled);
    if (full.ok() && scaled.ok()) {
        QUILLON_FUZZ_CHECK(scaled.image.width <= full.image.width && scaled.image.height <= full.image.height);
        const bool covers = scaled.image.width >= k.target.width && scaled.image.height >= k.target.height;
        const bool whole = scaled.image.width == full.image.width && scaled.image.height == full.image.height;
        QUILLON_FUZZ_CHECK(covers || whole);
    }

    // The same scale in small bands: the bands follow each other without gap, carry at most the
    // overlap around their core, and hold exactly the rows of the one-piece decode.
    int nextCore = 0;
    const std::string error = tk::decodeJpegBands(bytes, k.target, k.bandRows, k.overlap, [&](const tk::JpegBand& b) {
        QUILLON_FUZZ_CHECK(b.full.width > 0 && b.full.height > 0);
        QUILLON_FUZZ_CHECK(b.coreFirst == nextCore);
        QUILLON_FUZZ_CHECK(b.coreEnd > b.coreFirst && b.coreEnd <= b.full.height);
        QUILLON_FUZZ_CHECK(b.coreEnd - b.coreFirst <= k.bandRows || k.bandRows >= b.full.height);
        QUILLON_FUZZ_CHECK(b.first <= b.coreFirst && b.first >= b.coreFirst - k.overlap && b.first >= 0);
        QUILLON_FUZZ_CHECK(b.rows.width == b.full.width);
        QUILLON_FUZZ_CHECK(b.first + b.rows.height >= b.coreEnd && b.first + b.rows.height <= b.full.height);
        QUILLON_FUZZ_CHECK(b.first + b.rows.height <= b.coreEnd + k.overlap);
        const auto width = static_cast<std::size_t>(b.rows.width);
        QUILLON_FUZZ_CHECK(b.rows.pixels.size() >= width * static_cast<std::size_t>(b.rows.height));
        if (scaled.ok()) {
            QUILLON_FUZZ_CHECK(b.full.width == scaled.image.width && b.full.height == scaled.image.height);
            for (int r = 0; r < b.rows.height; ++r) {
                const auto* band = b.rows.pixels.data() + static_cast<std::size_t>(r) * width;
                const auto* whole = scaled.image.pixels.data() + static_cast<std::size_t>(b.first + r) * width;
                QUILLON_FUZZ_CHECK(std::equal(band, band + width, whole));
            }
        }
        nextCore = b.coreEnd;
    });
    if (error.empty() && scaled.ok()) QUILLON_FUZZ_CHECK(nextCore == scaled.image.height);
}

inline void checkPng(Bytes bytes) { checkPicture(tk::decodePng(bytes)); }

// The signature picks a decoder, or none.
inline void checkSniffed(Bytes bytes) { checkPicture(tk::decodeImage(bytes)); }

}  // namespace quillon::fuzz
