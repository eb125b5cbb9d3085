#include "image.h"

#include <algorithm>

namespace tk {

DecodeResult decodeImage(std::span<const std::uint8_t> bytes, Size target) {
    static constexpr std::uint8_t pngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (bytes.size() >= 8 && std::equal(bytes.begin(), bytes.begin() + 8, pngSignature)) return decodePng(bytes);
    if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8) return decodeJpeg(bytes, target);
    return {{}, "unknown picture format"};
}

}  // namespace tk
