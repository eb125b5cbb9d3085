// libFuzzer: tk::decodeJpeg at full size and DCT-scaled, and tk::decodeJpegBands in small bands.
#include "decoder_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quillon::fuzz::Bytes bytes(data, size);
    quillon::fuzz::checkJpeg(bytes);
    quillon::fuzz::checkSniffed(bytes);
    return 0;
}
