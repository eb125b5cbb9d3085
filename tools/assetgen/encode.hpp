// Image encoders used by make_assets: baseline JFIF JPEG, 8-bit RGBA PNG and
// PNG-compressed Windows .ico files. Every function reports failure as a
// value (a one-line message) instead of printing or aborting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace assetgen {

// Empty on success, otherwise a one-line description of what went wrong.
using Error = std::optional<std::string>;

using Bytes = std::vector<unsigned char>;

// Packed 8-bit RGB pixels, rows top to bottom, no padding.
struct RgbImage {
    int width = 0;
    int height = 0;
    Bytes pixels;
};

// Packed, un-premultiplied 8-bit RGBA pixels, rows top to bottom, no padding.
struct RgbaImage {
    int width = 0;
    int height = 0;
    Bytes pixels;
};

// An application marker written right after the JFIF header.
struct JpegMarker {
    int code = 0;  // e.g. JPEG_APP0 + 1
    Bytes data;    // payload without the length field
};

// Writes a baseline (SOF0), YCbCr, JFIF JPEG file.
Error write_jpeg(const std::string& path, const RgbImage& image, int quality,
                 const std::vector<JpegMarker>& markers = {});

// Encodes an 8-bit RGBA (colour type 6) PNG into memory.
Error encode_png(const RgbaImage& image, Bytes& out);

// Writes an 8-bit RGBA PNG file.
Error write_png(const std::string& path, const RgbaImage& image);

// Writes a Windows icon whose entries are PNG streams of square images.
Error write_ico(const std::string& path, const std::vector<RgbaImage>& images);

// Writes a byte buffer to a file, replacing it.
Error write_file(const std::string& path, const Bytes& data);

// A minimal Exif APP1 payload (little-endian TIFF, IFD0 only) carrying
// Orientation = 1, 72 dpi resolution and the given Software string.
Bytes make_exif_payload(const std::string& software);

// An XMP APP1 payload: the XMP namespace header followed by a small
// x:xmpmeta packet naming the creator tool.
Bytes make_xmp_payload(const std::string& creator_tool);

}  // namespace assetgen
