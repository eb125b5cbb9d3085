#pragma once
// A picture as windows and picture boxes hold it: the bytes of a JPEG or PNG file, decoded
// when first needed, stretched to its target with smooth scaling, and kept in that form until
// the picture is replaced or the target changes.

#include <cairo.h>

#include <cstdint>
#include <future>
#include <optional>
#include <span>
#include <string>

#include "geometry.h"

namespace tk {

class Picture {
public:
    Picture() = default;
    ~Picture();
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    // Setting the very bytes the picture already holds keeps what was decoded.
    void set(std::span<const std::uint8_t> bytes);
    void swap(Picture& other) noexcept;
    bool empty() const { return bytes_.empty(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

    // Starts decoding and scaling for a target on another thread, so that the work overlaps
    // whatever the caller does before the picture is first drawn.
    void prepareAhead(Size size, std::optional<std::uint32_t> background);

    // Draws the picture stretched over target. Transparency is blended over the background
    // colour once, when the picture is prepared, or kept when there is no background.
    // Returns false, drawing nothing, when the bytes cannot be decoded (see error()).
    bool draw(cairo_t* cr, const Rect& target, std::optional<std::uint32_t> background);
    const std::string& error() const { return error_; }

private:
    struct Prepared {
        cairo_surface_t* surface = nullptr;
        Size size;
        std::optional<std::uint32_t> background;
        std::string error;
    };
    static Prepared prepare(std::span<const std::uint8_t> bytes, Size size, std::optional<std::uint32_t> background);
    bool ready(Size size, std::optional<std::uint32_t> background);
    void adopt(Prepared p);
    void drop();

    std::span<const std::uint8_t> bytes_;
    std::future<Prepared> ahead_;
    cairo_surface_t* scaled_ = nullptr;
    Size scaledSize_;
    std::optional<std::uint32_t> scaledBackground_;
    std::string error_;
};

}  // namespace tk
