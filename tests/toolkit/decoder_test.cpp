// The JPEG and PNG decoders on the pictures the program carries, and on damaged bytes: every
// damage must come back as an error value, never as a crash or an exit.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "assets.h"
#include "toolkit/image.h"

namespace quillon::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes copy(std::span<const std::uint8_t> bytes) { return {bytes.begin(), bytes.end()}; }

// ---------------------------------------------------------------------------------------------
// The embedded pictures decode to their sizes.

struct AssetCase {
    const char* name;
    const std::span<const std::uint8_t>* bytes;
    bool jpeg;
    int width;
    int height;
};

class EmbeddedPicture : public ::testing::TestWithParam<AssetCase> {};

TEST_P(EmbeddedPicture, DecodesToItsSize) {
    const AssetCase& c = GetParam();
    const tk::DecodeResult direct = c.jpeg ? tk::decodeJpeg(*c.bytes) : tk::decodePng(*c.bytes);
    ASSERT_TRUE(direct.ok()) << direct.error;
    EXPECT_EQ(direct.image.width, c.width);
    EXPECT_EQ(direct.image.height, c.height);
    EXPECT_EQ(direct.image.pixels.size(), static_cast<std::size_t>(c.width) * static_cast<std::size_t>(c.height));
    // JPEGs are opaque: every pixel has full alpha.
    if (c.jpeg) {
        EXPECT_TRUE(std::all_of(direct.image.pixels.begin(), direct.image.pixels.end(),
                                [](std::uint32_t p) { return (p >> 24) == 0xFF; }));
    }

    // The signature picks the same decoder.
    const tk::DecodeResult sniffed = tk::decodeImage(*c.bytes);
    ASSERT_TRUE(sniffed.ok()) << sniffed.error;
    EXPECT_EQ(sniffed.image.width, c.width);
    EXPECT_EQ(sniffed.image.height, c.height);
    EXPECT_EQ(sniffed.image.pixels, direct.image.pixels);
}

INSTANTIATE_TEST_SUITE_P(Decoders, EmbeddedPicture,
                         ::testing::Values(AssetCase{"wallpaperWin7", &assets::wallpaperWin7, true, 1920, 1200},
                                           AssetCase{"wallpaperWin8", &assets::wallpaperWin8, true, 990, 557},
                                           AssetCase{"wallpaperWin10", &assets::wallpaperWin10, true, 1920, 1080},
                                           AssetCase{"eyeMonitor", &assets::eyeMonitor, false, 82, 80},
                                           AssetCase{"uDrive", &assets::uDrive, false, 68, 67},
                                           AssetCase{"programIcon", &assets::programIcon, false, 128, 128},
                                           AssetCase{"programIcon16", &assets::programIcon16, false, 16, 16},
                                           AssetCase{"programIcon32", &assets::programIcon32, false, 32, 32}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// A target size picks the smallest DCT scale (n/8) that still covers it in both directions.

struct ScaleCase {
    const char* name;
    tk::Size target;
    tk::Size expected;
};

class ScaledJpeg : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(ScaledJpeg, CoversTheTargetAtTheSmallestScale) {
    const tk::DecodeResult r = tk::decodeJpeg(assets::wallpaperWin7, GetParam().target);
    ASSERT_TRUE(r.ok()) << r.error;
    EXPECT_EQ((tk::Size{r.image.width, r.image.height}), GetParam().expected)
        << r.image.width << "x" << r.image.height;
    EXPECT_EQ(r.image.pixels.size(), static_cast<std::size_t>(r.image.width) * static_cast<std::size_t>(r.image.height));
}

INSTANTIATE_TEST_SUITE_P(Decoders, ScaledJpeg,
                         ::testing::Values(
                             // The desktop's client area: 5/8 is the first scale at least 993 wide.
                             ScaleCase{"DesktopClientArea", {993, 608}, {1200, 750}},
                             ScaleCase{"ExactlyFiveEighths", {1200, 750}, {1200, 750}},
                             ScaleCase{"OneEighth", {100, 100}, {240, 150}},
                             // The height decides when it needs the larger scale.
                             ScaleCase{"TallTarget", {200, 1000}, {1680, 1050}},
                             ScaleCase{"LargerThanThePicture", {4000, 3000}, {1920, 1200}},
                             ScaleCase{"NoTarget", {0, 0}, {1920, 1200}}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Damaged bytes.

std::size_t findMarker(const Bytes& b, std::uint8_t marker) {
    for (std::size_t i = 0; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == marker) return i;
    ADD_FAILURE() << "no marker " << int{marker};
    return 0;
}

std::size_t findChunk(const Bytes& b, const char* type) {
    const auto it = std::search(b.begin(), b.end(), type, type + 4);
    if (it == b.end()) ADD_FAILURE() << "no chunk " << type;
    return static_cast<std::size_t>(it - b.begin()) - 4;  // the chunk starts with its length
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void putBigEndian(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

// Rewrites IHDR's width and height, with a correct checksum: the file is well formed, its
// content is not.
Bytes pngWithSize(std::uint32_t width, std::uint32_t height) {
    Bytes b = copy(assets::eyeMonitor);
    const std::size_t ihdr = findChunk(b, "IHDR");
    putBigEndian(b, ihdr + 8, width);
    putBigEndian(b, ihdr + 12, height);
    putBigEndian(b, ihdr + 8 + 13, crc32(&b[ihdr + 4], 4 + 13));
    return b;
}

Bytes garbage(std::size_t size, std::span<const std::uint8_t> prefix) {
    Bytes b(prefix.begin(), prefix.end());
    std::uint32_t state = 12345;
    while (b.size() < size) {
        state = state * 1103515245u + 12345u;
        b.push_back(static_cast<std::uint8_t>(state >> 16));
    }
    return b;
}

constexpr std::array<std::uint8_t, 2> kJpegStart = {0xFF, 0xD8};
constexpr std::array<std::uint8_t, 8> kPngSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

enum class Format { Jpeg, Png };

struct DamageCase {
    const char* name;
    Format format;
    std::function<Bytes()> make;
};

class DamagedBytes : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedBytes, GiveAnErrorValue) {
    const Bytes bytes = GetParam().make();
    const tk::DecodeResult direct =
        GetParam().format == Format::Jpeg ? tk::decodeJpeg(bytes, {993, 608}) : tk::decodePng(bytes);
    EXPECT_FALSE(direct.ok()) << "decoded to " << direct.image.width << "x" << direct.image.height;
    EXPECT_TRUE(direct.image.pixels.empty());

    const tk::DecodeResult sniffed = tk::decodeImage(bytes);
    EXPECT_FALSE(sniffed.ok());
    EXPECT_TRUE(sniffed.image.pixels.empty());
}

// A JPEG cut after `cut` bytes, where cut is computed from the file's own layout.
DamageCase jpegCut(const char* name, std::function<std::size_t(const Bytes&)> cut) {
    return {name, Format::Jpeg, [cut] {
                Bytes b = copy(assets::wallpaperWin7);
                b.resize(cut(b));
                return b;
            }};
}

DamageCase pngCut(const char* name, std::function<std::size_t(const Bytes&)> cut) {
    return {name, Format::Png, [cut] {
                Bytes b = copy(assets::eyeMonitor);
                b.resize(cut(b));
                return b;
            }};
}

DamageCase jpegEdit(const char* name, std::function<void(Bytes&)> edit) {
    return {name, Format::Jpeg, [edit] {
                Bytes b = copy(assets::wallpaperWin7);
                edit(b);
                return b;
            }};
}

DamageCase pngEdit(const char* name, std::function<void(Bytes&)> edit) {
    return {name, Format::Png, [edit] {
                Bytes b = copy(assets::eyeMonitor);
                edit(b);
                return b;
            }};
}

INSTANTIATE_TEST_SUITE_P(
    TruncatedJpeg, DamagedBytes,
    ::testing::Values(jpegCut("StartMarkerOnly", [](const Bytes&) { return std::size_t{2}; }),
                      jpegCut("InsideFirstSegment", [](const Bytes&) { return std::size_t{10}; }),
                      jpegCut("InsideQuantTable", [](const Bytes& b) { return findMarker(b, 0xDB) + 20; }),
                      jpegCut("InsideFrameHeader", [](const Bytes& b) { return findMarker(b, 0xC0) + 6; }),
                      jpegCut("InsideScanHeader", [](const Bytes& b) { return findMarker(b, 0xDA) + 5; }),
                      jpegCut("StartOfScanData", [](const Bytes& b) { return findMarker(b, 0xDA) + 200; }),
                      jpegCut("MidScan", [](const Bytes& b) { return b.size() / 2; }),
                      jpegCut("NearTheEnd", [](const Bytes& b) { return b.size() - 100; })),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    CorruptJpeg, DamagedBytes,
    ::testing::Values(jpegEdit("StartMarkerFlipped", [](Bytes& b) { b[1] ^= 0xFF; }),
                      jpegEdit("UnknownMarker", [](Bytes& b) { b[3] = 0x1F; }),
                      jpegEdit("ZeroHeight", [](Bytes& b) { b[findMarker(b, 0xC0) + 5] = b[findMarker(b, 0xC0) + 6] = 0; }),
                      jpegEdit("UnsupportedPrecision", [](Bytes& b) { b[findMarker(b, 0xC0) + 4] = 12; }),
                      jpegEdit("FrameHeaderFlipped",
                               [](Bytes& b) {
                                   const std::size_t sof = findMarker(b, 0xC0);
                                   for (std::size_t i = sof + 2; i < sof + 12; ++i) b[i] ^= 0xFF;
                               }),
                      // A header that claims 60000 x 60000 must be refused before its pixels are allocated.
                      jpegEdit("AbsurdSize",
                               [](Bytes& b) {
                                   const std::size_t sof = findMarker(b, 0xC0);
                                   for (std::size_t i : {sof + 5, sof + 7}) {
                                       b[i] = 0xEA;
                                       b[i + 1] = 0x60;
                                   }
                               }),
                      DamageCase{"GarbageAfterStartMarker", Format::Jpeg, [] { return garbage(4096, kJpegStart); }},
                      DamageCase{"Empty", Format::Jpeg, [] { return Bytes{}; }}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    TruncatedPng, DamagedBytes,
    ::testing::Values(pngCut("InsideSignature", [](const Bytes&) { return std::size_t{4}; }),
                      pngCut("SignatureOnly", [](const Bytes&) { return std::size_t{8}; }),
                      pngCut("InsideHeaderChunk", [](const Bytes&) { return std::size_t{20}; }),
                      pngCut("AfterHeaderChunk", [](const Bytes& b) { return findChunk(b, "IDAT"); }),
                      pngCut("InsideImageData", [](const Bytes& b) { return findChunk(b, "IDAT") + 40; }),
                      pngCut("MidImageData", [](const Bytes& b) { return b.size() / 2; }),
                      pngCut("EndChunkMissing", [](const Bytes& b) { return findChunk(b, "IEND"); }),
                      pngCut("LastByteMissing", [](const Bytes& b) { return b.size() - 1; })),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    CorruptPng, DamagedBytes,
    ::testing::Values(pngEdit("SignatureFlipped", [](Bytes& b) { b[1] ^= 0xFF; }),
                      pngEdit("HeaderWidthFlipped", [](Bytes& b) { b[findChunk(b, "IHDR") + 10] ^= 0xFF; }),
                      pngEdit("HeaderChecksumFlipped", [](Bytes& b) { b[findChunk(b, "IHDR") + 8 + 13] ^= 0xFF; }),
                      pngEdit("ImageDataFlipped", [](Bytes& b) { b[findChunk(b, "IDAT") + 8 + 100] ^= 0xFF; }),
                      DamageCase{"ZeroWidth", Format::Png, [] { return pngWithSize(0, 80); }},
                      DamageCase{"AbsurdSize", Format::Png, [] { return pngWithSize(100000, 100000); }},
                      DamageCase{"GarbageAfterSignature", Format::Png, [] { return garbage(4096, kPngSignature); }},
                      DamageCase{"Empty", Format::Png, [] { return Bytes{}; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Decoders, UnknownFormatIsAnError) {
    const Bytes text = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
    const tk::DecodeResult r = tk::decodeImage(text);
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.image.pixels.empty());
}

}  // namespace
}  // namespace quillon::test
