// PNG decoding through libpng: the usual sequence of create, setjmp, expand everything to
// 8-bit RGBA, read the rows, destroy. libpng's errors jump back here as an error value.

#include <png.h>

#include <cstring>

#include "image.h"

namespace tk {
namespace {

struct Reader {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    char message[256] = {};
};

void onRead(png_structp png, png_bytep out, png_size_t length) {
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (r->bytes.size() - r->offset < length) png_error(png, "PNG data is truncated");
    std::memcpy(out, r->bytes.data() + r->offset, length);
    r->offset += length;
}

void onError(png_structp png, png_const_charp message) {
    auto* r = static_cast<Reader*>(png_get_error_ptr(png));
    std::strncpy(r->message, message, sizeof r->message - 1);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

std::uint32_t premultiplied(const std::uint8_t* rgba) {
    const unsigned a = rgba[3];
    auto mul = [a](unsigned c) { return (c * a + 127) / 255; };
    return (a << 24) | (mul(rgba[0]) << 16) | (mul(rgba[1]) << 8) | mul(rgba[2]);
}

// Only trivially destructible locals between setjmp and the end, so a longjmp skips nothing.
bool decodeInto(png_structp png, png_infop info, Image& out, std::vector<std::uint8_t>& rgba,
                std::vector<png_bytep>& rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const png_byte colorType = png_get_color_type(png, info);
    if (png_get_rowbytes(png, info) != static_cast<std::size_t>(width) * 4) png_error(png, "unexpected PNG row layout");
    rgba.resize(static_cast<std::size_t>(width) * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = rgba.data() + static_cast<std::size_t>(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    out.width = static_cast<int>(width);
    out.height = static_cast<int>(height);
    out.hasAlpha = (colorType & PNG_COLOR_MASK_ALPHA) != 0;
    return true;
}

}  // namespace

DecodeResult decodePng(std::span<const std::uint8_t> bytes) {
    DecodeResult result;
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) {
        result.error = "not a PNG file";
        return result;
    }
    Reader reader{bytes};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &reader, onError, onWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        result.error = "out of memory";
        return result;
    }
    // Refuse absurd dimensions before allocating for them.
    png_set_user_limits(png, 16384, 16384);
    png_set_read_fn(png, &reader, onRead);

    std::vector<std::uint8_t> rgba;
    std::vector<png_bytep> rows;
    if (decodeInto(png, info, result.image, rgba, rows)) {
        auto& px = result.image.pixels;
        px.resize(rgba.size() / 4);
        for (std::size_t i = 0; i < px.size(); ++i) px[i] = premultiplied(&rgba[i * 4]);
    } else {
        result.error = reader.message[0] ? reader.message : "PNG decoding failed";
        result.image = {};
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return result;
}

}  // namespace tk
