// JPEG decoding through libjpeg. libjpeg reports errors by calling error_exit, whose default
// ends the process; ours jumps back here with the message instead.

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

#include "image.h"

namespace tk {
namespace {

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
// locals, so a longjmp out of it skips no destructor.
bool decodeInto(jpeg_decompress_struct& info, ErrorManager& err, std::span<const std::uint8_t> bytes, Size target,
                Image& out) {
    if (setjmp(err.jump)) return false;
    jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_BGRX;  // Cairo's byte order on little-endian machines
    info.scale_num = scaleFor(info, target);
    info.scale_denom = 8;
    info.dct_method = JDCT_ISLOW;
    jpeg_start_decompress(&info);
    out.width = static_cast<int>(info.output_width);
    out.height = static_cast<int>(info.output_height);
    out.pixels.resize(static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height));
    while (info.output_scanline < info.output_height) {
        auto* row = reinterpret_cast<JSAMPROW>(out.pixels.data() + static_cast<std::size_t>(info.output_scanline) *
                                                                         static_cast<std::size_t>(out.width));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    for (auto& p : out.pixels) p |= 0xFF000000u;
    return true;
}

}  // namespace

DecodeResult decodeJpeg(std::span<const std::uint8_t> bytes, Size target) {
    DecodeResult result;
    if (bytes.empty()) {
        result.error = "empty JPEG data";
        return result;
    }
    jpeg_decompress_struct info{};
    ErrorManager err{};
    info.err = jpeg_std_error(&err.base);
    err.base.error_exit = onError;
    err.base.emit_message = onMessage;
    jpeg_create_decompress(&info);
    if (!decodeInto(info, err, bytes, target, result.image)) {
        result.error = err.message;
        result.image = {};
    }
    jpeg_destroy_decompress(&info);
    return result;
}

}  // namespace tk
