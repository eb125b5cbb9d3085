// JPEG decoding through libjpeg. libjpeg reports errors by calling error_exit, whose default
// ends the process; ours jumps back here with the message instead.

#include <csetjmp>
#include <algorithm>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "image.h"

namespace tk {
namespace {

// The largest side decoded, as the PNG decoder allows: a header can claim any size, and the
// pixels are allocated before a single one is read.
constexpr JDIMENSION kMaxSide = 16384;

struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr info) {
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    info->err->format_message(info, err->message);
    std::longjmp(err->jump, 1);
}

// libjpeg pads a truncated file with grey and calls it a warning; a picture that is cut off is
// an error to us. Other warnings (stray bytes between markers) leave a usable picture.
void onMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) onError(info);
}

unsigned scaleFor(const jpeg_decompress_struct& info, Size target) {
    if (target.width <= 0 || target.height <= 0) return 8;
    for (unsigned num = 1; num < 8; ++num)
        if (info.image_width * num / 8 >= static_cast<unsigned>(target.width) &&
            info.image_height * num / 8 >= static_cast<unsigned>(target.height))
            return num;
    return 8;
}

// Everything that touches libjpeg after setjmp lives here, with only trivially destructible
// locals, so a longjmp out of it skips no destructor. The band buffer belongs to the caller.
// bandRows <= 0 decodes the whole picture as one band.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& err, std::span<const std::uint8_t> bytes, Size target,
                int bandRows, int overlap, Image& band, const JpegBandSink& sink) {
    if (setjmp(err.jump)) return false;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > kMaxSide || info.image_height > kMaxSide) {
        std::snprintf(err.message, sizeof err.message, "JPEG is too large (%ux%u)", info.image_width,
                      info.image_height);
        return false;
    }
    info.out_color_space = JCS_EXT_BGRX;  // Cairo's byte order on little-endian machines
    info.scale_num = scaleFor(info, target);
    info.scale_denom = 8;
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    const int width = static_cast<int>(info.output_width), height = static_cast<int>(info.output_height);
    const int rowsPerBand = bandRows <= 0 || bandRows > height ? height : bandRows;
    const int margin = rowsPerBand == height ? 0 : overlap;
    band.width = width;
    band.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(rowsPerBand + 2 * margin));

    int first = 0;  // source row held in the buffer's first row
    for (int coreFirst = 0; coreFirst < height; coreFirst += rowsPerBand) {
        const int coreEnd = std::min(height, coreFirst + rowsPerBand);
        const int last = std::min(height, coreEnd + margin);  // one past the band's last row
        while (static_cast<int>(info.output_scanline) < last) {
            const auto at = static_cast<std::size_t>(static_cast<int>(info.output_scanline) - first);
            auto* row = reinterpret_cast<JSAMPROW>(band.pixels.data() + at * static_cast<std::size_t>(width));
            jpeg_read_scanlines(&info, &row, 1);
            for (int x = 0; x < width; ++x) band.pixels[at * width + x] |= 0xFF000000u;
        }
        band.height = last - first;
        sink({band, first, coreFirst, coreEnd, {width, height}});
        // Keep the rows the next band sees again above its own.
        const int keepFrom = std::max(first, coreEnd - margin);
        std::copy(band.pixels.begin() + static_cast<std::ptrdiff_t>(keepFrom - first) * width,
                  band.pixels.begin() + static_cast<std::ptrdiff_t>(last - first) * width, band.pixels.begin());
        first = keepFrom;
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

std::string decodeJpegBands(std::span<const std::uint8_t> bytes, Size target, int bandRows, int overlap,
                            const JpegBandSink& sink) {
    if (bytes.empty()) return "empty JPEG data";
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.emit_message = onMessage;
    jpeg_create_decompress(&info);
    Image band;
    std::string error;
    if (!decodeInto(info, err, bytes, target, bandRows, std::max(0, overlap), band, sink)) error = err.message;
    jpeg_destroy_decompress(&info);
    return error;
}

DecodeResult decodeJpeg(std::span<const std::uint8_t> bytes, Size target) {
    DecodeResult result;
    result.error = decodeJpegBands(bytes, target, 0, 0, [&result](const JpegBand& all) { result.image = all.rows; });
    if (!result.ok()) result.image = {};
    return result;
}

}  // namespace tk
