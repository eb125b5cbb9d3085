// libFuzzer: tk::decodePng, and the signature sniffing of tk::decodeImage.
#include "decoder_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const quillon::fuzz::Bytes bytes(data, size);
    quillon::fuzz::checkPng(bytes);
    quillon::fuzz::checkSniffed(bytes);
    return 0;
}
