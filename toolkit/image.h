#pragma once
// Decoding JPEG and PNG bytes into pixels. Every failure of the libraries comes back as an
// error value; nothing here ends the process.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "geometry.h"

namespace tk {

// 0xAARRGGBB per pixel, alpha premultiplied (Cairo's ARGB32 layout), rows without padding.
struct Image {
    int width = 0;
    int height = 0;
    bool hasAlpha = false;
    std::vector<std::uint32_t> pixels;
};

struct DecodeResult {
    Image image;
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// Decodes a JPEG. With a target size, decodes at the smallest DCT scale whose result still
// covers the target in both directions (1/8 to 8/8), which is much cheaper than full size.
DecodeResult decodeJpeg(std::span<const std::uint8_t> bytes, Size target = {});

// A band of decoded rows, for scaling a large picture without holding all of it: `rows` holds
// source rows from `first` on; the band answers for rows [coreFirst, coreEnd), and carries up
// to `overlap` rows on either side so that a filter near the band's edges sees real pixels.
struct JpegBand {
    const Image& rows;
    int first;
    int coreFirst;
    int coreEnd;
    Size full;
};
using JpegBandSink = std::function<void(const JpegBand&)>;

// Decodes a JPEG as decodeJpeg does, handing it over band by band; returns the error, if any.
// A sink that has seen some bands before an error must discard what it made of them.
std::string decodeJpegBands(std::span<const std::uint8_t> bytes, Size target, int bandRows, int overlap,
                            const JpegBandSink& sink);

// Decodes a PNG of any colour type and depth to 8-bit RGBA.
DecodeResult decodePng(std::span<const std::uint8_t> bytes);

// Picks the decoder by the file signature.
DecodeResult decodeImage(std::span<const std::uint8_t> bytes, Size target = {});

}  // namespace tk
