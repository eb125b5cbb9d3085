#include "picture.h"

#include "image.h"

#include <cmath>

namespace tk {

Picture::~Picture() { drop(); }

void Picture::drop() {
    if (ahead_.valid()) adopt(ahead_.get());
    if (scaled_) cairo_surface_destroy(scaled_);
    scaled_ = nullptr;
    scaledSize_ = {};
    error_.clear();
}

void Picture::set(std::span<const std::uint8_t> bytes) {
    if (bytes.data() == bytes_.data() && bytes.size() == bytes_.size()) return;
    drop();
    bytes_ = bytes;
}

namespace {

// Source rows a band of a JPEG carries, and rows it repeats on either side: enough for the
// scaling filter's reach, so that bands join without a seam.
constexpr int kBandRows = 64;
constexpr int kBandOverlap = 4;

// Stretches source rows [first, first + rows.height) over the target, painting only the target
// rows whose centres fall in source rows [coreFirst, coreEnd).
void paintStretched(cairo_t* cr, const Image& rows, int first, int coreFirst, int coreEnd, Size full, Size target) {
    const double sx = static_cast<double>(target.width) / full.width;
    const double sy = static_cast<double>(target.height) / full.height;
    auto targetRow = [sy](int sourceRow) { return static_cast<int>(std::ceil(sourceRow * sy - 0.5)); };
    cairo_surface_t* source = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(rows.pixels.data())),
        rows.hasAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, rows.width, rows.height, rows.width * 4);
    cairo_save(cr);
    const int top = targetRow(coreFirst), bottom = coreEnd >= full.height ? target.height : targetRow(coreEnd);
    cairo_rectangle(cr, 0, top, target.width, bottom - top);
    cairo_clip(cr);
    cairo_scale(cr, sx, sy);
    cairo_set_source_surface(cr, source, 0, first);
    // GOOD averages the source pixels under each target pixel when shrinking (halftone quality);
    // PAD keeps the stretched picture's border from fading.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_restore(cr);
    cairo_surface_destroy(source);
}

bool isJpeg(std::span<const std::uint8_t> bytes) { return bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xD8; }

}  // namespace

void Picture::swap(Picture& other) noexcept {
    std::swap(bytes_, other.bytes_);
    std::swap(ahead_, other.ahead_);
    std::swap(scaled_, other.scaled_);
    std::swap(scaledSize_, other.scaledSize_);
    std::swap(scaledBackground_, other.scaledBackground_);
    std::swap(error_, other.error_);
}

Picture::Prepared Picture::prepare(std::span<const std::uint8_t> bytes, Size size,
                                   std::optional<std::uint32_t> background) {
    Prepared out{nullptr, size, background, {}};
    cairo_surface_t* scaled =
        cairo_image_surface_create(background ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, size.width, size.height);
    cairo_t* cr = cairo_create(scaled);
    if (background) {
        const std::uint32_t bg = *background;
        cairo_set_source_rgb(cr, ((bg >> 16) & 0xFF) / 255.0, ((bg >> 8) & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
        cairo_paint(cr);
    }
    if (isJpeg(bytes)) {
        // A wallpaper is decoded a band at a time: the whole decoded picture is never held.
        out.error = decodeJpegBands(bytes, size, kBandRows, kBandOverlap, [&](const JpegBand& band) {
            paintStretched(cr, band.rows, band.first, band.coreFirst, band.coreEnd, band.full, size);
        });
    } else {
        DecodeResult decoded = decodeImage(bytes, size);
        if (decoded.ok()) {
            const Image& img = decoded.image;
            paintStretched(cr, img, 0, 0, img.height, {img.width, img.height}, size);
        }
        out.error = decoded.error;
    }
    cairo_destroy(cr);

    if (out.error.empty() && cairo_surface_status(scaled) != CAIRO_STATUS_SUCCESS)
        out.error = cairo_status_to_string(cairo_surface_status(scaled));
    if (!out.error.empty()) {
        cairo_surface_destroy(scaled);
        return out;
    }
    out.surface = scaled;
    return out;
}

void Picture::adopt(Prepared p) {
    if (scaled_) cairo_surface_destroy(scaled_);
    scaled_ = p.surface;
    scaledSize_ = p.size;
    scaledBackground_ = p.background;
    error_ = std::move(p.error);
}

void Picture::prepareAhead(Size size, std::optional<std::uint32_t> background) {
    if (bytes_.empty() || size.width <= 0 || size.height <= 0 || ahead_.valid()) return;
    if ((scaled_ || !error_.empty()) && scaledSize_ == size && scaledBackground_ == background) return;
    ahead_ = std::async(std::launch::async, prepare, bytes_, size, background);
}

bool Picture::ready(Size size, std::optional<std::uint32_t> background) {
    if (ahead_.valid()) adopt(ahead_.get());
    if (scaledSize_ == size && scaledBackground_ == background && (scaled_ || !error_.empty())) return scaled_;
    adopt(prepare(bytes_, size, background));
    return scaled_;
}

bool Picture::draw(cairo_t* cr, const Rect& target, std::optional<std::uint32_t> background) {
    if (bytes_.empty() || target.empty() || !ready(target.size(), background)) return false;
    cairo_save(cr);
    cairo_rectangle(cr, target.x, target.y, target.width, target.height);
    cairo_clip(cr);
    cairo_set_source_surface(cr, scaled_, target.x, target.y);
    cairo_paint(cr);
    cairo_restore(cr);
    return true;
}

}  // namespace tk
