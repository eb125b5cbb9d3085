#include "picture.h"

#include "image.h"

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

Picture::Prepared Picture::prepare(std::span<const std::uint8_t> bytes, Size size,
                                   std::optional<std::uint32_t> background) {
    Prepared out{nullptr, size, background, {}};
    DecodeResult decoded = decodeImage(bytes, size);
    if (!decoded.ok()) {
        out.error = decoded.error;
        return out;
    }
    Image& img = decoded.image;
    cairo_surface_t* source = cairo_image_surface_create_for_data(
        reinterpret_cast<unsigned char*>(img.pixels.data()), img.hasAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24,
        img.width, img.height, img.width * 4);

    cairo_surface_t* scaled =
        cairo_image_surface_create(background ? CAIRO_FORMAT_RGB24 : CAIRO_FORMAT_ARGB32, size.width, size.height);
    cairo_t* cr = cairo_create(scaled);
    if (background) {
        const std::uint32_t bg = *background;
        cairo_set_source_rgb(cr, ((bg >> 16) & 0xFF) / 255.0, ((bg >> 8) & 0xFF) / 255.0, (bg & 0xFF) / 255.0);
        cairo_paint(cr);
    }
    cairo_scale(cr, static_cast<double>(size.width) / img.width, static_cast<double>(size.height) / img.height);
    cairo_set_source_surface(cr, source, 0, 0);
    // GOOD averages the source pixels under each target pixel when shrinking (halftone quality)
    // and pads the edges, so the stretched picture's border does not fade.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(source);

    if (cairo_surface_status(scaled) != CAIRO_STATUS_SUCCESS) {
        out.error = cairo_status_to_string(cairo_surface_status(scaled));
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
