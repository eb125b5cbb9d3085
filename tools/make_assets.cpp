// make_assets OUTDIR
//
// Draws every picture Quillon ships (wallpapers, desktop icons and the
// program icon) and writes them into OUTDIR. The output is byte-for-byte
// reproducible, so regenerated files only show up in a diff when the drawing
// code changed.

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include <jpeglib.h>

#include "assetgen/canvas.hpp"
#include "assetgen/encode.hpp"
#include "assetgen/pictures.hpp"

namespace {

using namespace assetgen;

constexpr const char* kCreator = "Quillon make_assets";

using Painter = std::function<void(cairo_t*, int, int)>;

Error make_jpeg(const std::string& path, int width, int height, const Painter& paint, int quality,
                const std::vector<JpegMarker>& markers = {}) {
    Canvas canvas(width, height, Canvas::Kind::Rgb);
    paint(canvas.cr(), width, height);
    if (Error error = canvas.status())
        return error;
    return write_jpeg(path, canvas.rgb(), quality, markers);
}

// Opaque icon: drawn on an RGB surface, so every pixel has alpha 255.
Error make_opaque_png(const std::string& path, int width, int height, const Painter& paint) {
    Canvas canvas(width, height, Canvas::Kind::Rgb);
    paint(canvas.cr(), width, height);
    if (Error error = canvas.status())
        return error;
    return write_png(path, canvas.rgba());
}

Error draw_program_icon(int size, RgbaImage& out) {
    Canvas canvas(size, size, Canvas::Kind::Rgba);
    paint_program_icon(canvas.cr(), size);
    if (Error error = canvas.status())
        return error;
    out = canvas.rgba();
    return {};
}

Error make_program_icons(const std::filesystem::path& dir) {
    std::vector<RgbaImage> images;
    for (int size : {16, 32, 48, 128}) {
        RgbaImage image;
        if (Error error = draw_program_icon(size, image))
            return error;
        const std::string name = size == 128 ? "program_icon.png" : "program_icon_" + std::to_string(size) + ".png";
        if (Error error = write_png((dir / name).string(), image))
            return error;
        images.push_back(std::move(image));
    }
    return write_ico((dir / "program_icon.ico").string(), images);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_assets OUTDIR\n");
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::fprintf(stderr, "make_assets: cannot create %s: %s\n", dir.string().c_str(), ec.message().c_str());
        return 1;
    }
    auto out = [&dir](const char* name) { return (dir / name).string(); };

    struct Job {
        const char* name;
        std::function<Error()> run;
    };
    const std::vector<Job> jobs = {
        {"wallpaper_win7.jpg",
         [&] { return make_jpeg(out("wallpaper_win7.jpg"), 1920, 1200, paint_wallpaper_win7, 85); }},
        {"wallpaper_win8.jpg",
         [&] { return make_jpeg(out("wallpaper_win8.jpg"), 990, 557, paint_wallpaper_win8, 85); }},
        {"wallpaper_win10.jpg",
         [&] {
             const std::vector<JpegMarker> markers = {
                 {JPEG_APP0 + 1, make_exif_payload(kCreator)},
                 {JPEG_APP0 + 1, make_xmp_payload(kCreator)},
             };
             return make_jpeg(out("wallpaper_win10.jpg"), 1920, 1080, paint_wallpaper_win10, 90, markers);
         }},
        {"eye_monitor.png", [&] { return make_opaque_png(out("eye_monitor.png"), 82, 80, paint_eye_monitor); }},
        {"u_drive.png", [&] { return make_opaque_png(out("u_drive.png"), 68, 67, paint_u_drive); }},
        {"program_icon", [&] { return make_program_icons(dir); }},
    };

    for (const Job& job : jobs) {
        if (Error error = job.run()) {
            std::fprintf(stderr, "make_assets: %s: %s\n", job.name, error->c_str());
            return 1;
        }
    }
    return 0;
}
