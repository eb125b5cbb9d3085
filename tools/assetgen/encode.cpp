#include "encode.hpp"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <new>

#include <jpeglib.h>
#include <png.h>

namespace assetgen {
namespace {

// ---------------------------------------------------------------------------
// Little helpers

void put_u16le(Bytes& out, unsigned value) {
    out.push_back(static_cast<unsigned char>(value & 0xff));
    out.push_back(static_cast<unsigned char>((value >> 8) & 0xff));
}

void put_u32le(Bytes& out, std::uint32_t value) {
    put_u16le(out, value & 0xffff);
    put_u16le(out, value >> 16);
}

void put_text(Bytes& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

Error check_size(int width, int height, std::size_t bytes, int channels) {
    if (width <= 0 || height <= 0)
        return "image has no pixels";
    if (bytes != static_cast<std::size_t>(width) * height * channels)
        return "pixel buffer does not match the image size";
    return {};
}

// ---------------------------------------------------------------------------
// JPEG

struct JpegErrorManager {
    jpeg_error_mgr base;  // first member: libjpeg only knows about this part
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void on_jpeg_error(j_common_ptr cinfo) {
    auto* manager = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings and trace output are not interesting here; errors still arrive
// through on_jpeg_error.
void on_jpeg_message(j_common_ptr) {}

// Drives the libjpeg compressor. Nothing in here owns a destructor, so a
// longjmp back out of the library is harmless. On failure the library's
// message is copied into `message` (JMSG_LENGTH_MAX bytes).
bool compress_jpeg(std::FILE* file, const RgbImage& image, int quality,
                   const std::vector<JpegMarker>& markers, char* message) {
    jpeg_compress_struct cinfo{};
    JpegErrorManager errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = on_jpeg_error;
    errors.base.output_message = on_jpeg_message;

    if (setjmp(errors.jump) != 0) {
        jpeg_destroy_compress(&cinfo);
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", errors.message);
        return false;
    }

    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);

    cinfo.image_width = static_cast<JDIMENSION>(image.width);
    cinfo.image_height = static_cast<JDIMENSION>(image.height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);  // YCbCr, JFIF header, sequential (baseline)
    jpeg_set_quality(&cinfo, quality, TRUE);
    cinfo.optimize_coding = TRUE;  // still SOF0, just tighter Huffman tables
    cinfo.density_unit = 1;        // dots per inch
    cinfo.X_density = 72;
    cinfo.Y_density = 72;

    jpeg_start_compress(&cinfo, TRUE);
    for (const JpegMarker& marker : markers)
        jpeg_write_marker(&cinfo, marker.code, marker.data.data(),
                          static_cast<unsigned>(marker.data.size()));

    const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(image.pixels.data() + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }

    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

// ---------------------------------------------------------------------------
// PNG

struct PngWriter {
    Bytes* out;
    char message[256];
};

void on_png_error(png_structp png, png_const_charp text) {
    auto* writer = static_cast<PngWriter*>(png_get_error_ptr(png));
    std::snprintf(writer->message, sizeof writer->message, "%s", text);
    png_longjmp(png, 1);
}

void on_png_warning(png_structp, png_const_charp) {}

void on_png_write(png_structp png, png_bytep data, png_size_t length) {
    auto* writer = static_cast<PngWriter*>(png_get_io_ptr(png));
    bool out_of_memory = false;
    try {
        writer->out->insert(writer->out->end(), data, data + length);
    } catch (const std::bad_alloc&) {
        out_of_memory = true;
    }
    if (out_of_memory)
        png_error(png, "out of memory");
}

void on_png_flush(png_structp) {}

// Drives libpng; same rules as compress_jpeg (no destructors in scope).
bool compress_png(PngWriter& writer, const RgbaImage& image, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer, on_png_error,
                                              on_png_warning);
    if (png == nullptr) {
        std::snprintf(writer.message, sizeof writer.message, "cannot create a PNG writer");
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        std::snprintf(writer.message, sizeof writer.message, "cannot create PNG info");
        return false;
    }

    if (setjmp(png_jmpbuf(png)) != 0) {
        png_destroy_write_struct(&png, &info);
        return false;
    }

    png_set_write_fn(png, &writer, on_png_write, on_png_flush);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 9);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------

Error write_file(const std::string& path, const Bytes& data) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return "cannot open " + path + " for writing";
    file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
    file.close();
    if (!file)
        return "cannot write " + path;
    return {};
}

Error write_jpeg(const std::string& path, const RgbImage& image, int quality,
                 const std::vector<JpegMarker>& markers) {
    if (Error error = check_size(image.width, image.height, image.pixels.size(), 3))
        return error;
    for (const JpegMarker& marker : markers)
        if (marker.data.size() > 65533)
            return "JPEG marker payload is too large";

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return "cannot open " + path + " for writing";

    char message[JMSG_LENGTH_MAX] = {};
    const bool compressed = compress_jpeg(file, image, quality, markers, message);
    const bool write_failed = std::ferror(file) != 0;
    const bool close_failed = std::fclose(file) != 0;
    if (compressed && !write_failed && !close_failed)
        return {};

    std::remove(path.c_str());
    if (!compressed)
        return std::string("JPEG encoder: ") + message;
    return "cannot write " + path;
}

Error encode_png(const RgbaImage& image, Bytes& out) {
    if (Error error = check_size(image.width, image.height, image.pixels.size(), 4))
        return error;

    out.clear();
    std::vector<png_bytep> rows(static_cast<std::size_t>(image.height));
    const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = const_cast<png_bytep>(image.pixels.data() + y * stride);

    PngWriter writer{&out, {}};
    if (!compress_png(writer, image, rows.data()))
        return std::string("PNG encoder: ") + writer.message;
    return {};
}

Error write_png(const std::string& path, const RgbaImage& image) {
    Bytes data;
    if (Error error = encode_png(image, data))
        return error;
    return write_file(path, data);
}

Error write_ico(const std::string& path, const std::vector<RgbaImage>& images) {
    if (images.empty() || images.size() > 0xffff)
        return "an icon needs between 1 and 65535 images";

    std::vector<Bytes> streams(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const RgbaImage& image = images[i];
        if (image.width != image.height || image.width > 256)
            return "icon images must be square and at most 256 pixels";
        if (Error error = encode_png(image, streams[i]))
            return error;
    }

    // ICONDIR, then one ICONDIRENTRY per image, then the PNG streams.
    Bytes ico;
    put_u16le(ico, 0);  // reserved
    put_u16le(ico, 1);  // type: icon
    put_u16le(ico, static_cast<unsigned>(images.size()));

    std::uint32_t offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int size = images[i].width;
        ico.push_back(static_cast<unsigned char>(size >= 256 ? 0 : size));  // width
        ico.push_back(static_cast<unsigned char>(size >= 256 ? 0 : size));  // height
        ico.push_back(0);       // palette size
        ico.push_back(0);       // reserved
        put_u16le(ico, 1);      // colour planes
        put_u16le(ico, 32);     // bits per pixel
        put_u32le(ico, static_cast<std::uint32_t>(streams[i].size()));
        put_u32le(ico, offset);
        offset += static_cast<std::uint32_t>(streams[i].size());
    }
    for (const Bytes& stream : streams)
        ico.insert(ico.end(), stream.begin(), stream.end());

    return write_file(path, ico);
}

Bytes make_exif_payload(const std::string& software) {
    // TIFF field types
    constexpr unsigned kAscii = 2, kShort = 3, kRational = 5;
    constexpr unsigned kEntries = 6;

    Bytes tiff;
    put_text(tiff, "II");        // little-endian
    put_u16le(tiff, 42);         // TIFF magic
    put_u32le(tiff, 8);          // IFD0 follows the header

    // Values that do not fit in an entry live after the IFD, word aligned.
    const std::uint32_t data_start = 8 + 2 + kEntries * 12 + 4;
    const std::uint32_t x_resolution_at = data_start;
    const std::uint32_t y_resolution_at = x_resolution_at + 8;
    const std::uint32_t software_at = y_resolution_at + 8;
    const std::uint32_t software_count = static_cast<std::uint32_t>(software.size() + 1);

    auto entry = [&tiff](unsigned tag, unsigned type, std::uint32_t count, std::uint32_t value) {
        put_u16le(tiff, tag);
        put_u16le(tiff, type);
        put_u32le(tiff, count);
        put_u32le(tiff, value);  // SHORT values sit in the low (first) two bytes
    };

    put_u16le(tiff, kEntries);                        // tags in ascending order
    entry(0x0112, kShort, 1, 1);                      // Orientation: top-left
    entry(0x011a, kRational, 1, x_resolution_at);     // XResolution
    entry(0x011b, kRational, 1, y_resolution_at);     // YResolution
    entry(0x0128, kShort, 1, 2);                      // ResolutionUnit: inch
    entry(0x0131, kAscii, software_count, software_at);  // Software
    entry(0x0213, kShort, 1, 1);                      // YCbCrPositioning: centred
    put_u32le(tiff, 0);                               // no IFD1

    put_u32le(tiff, 72);  // XResolution 72/1
    put_u32le(tiff, 1);
    put_u32le(tiff, 72);  // YResolution 72/1
    put_u32le(tiff, 1);
    put_text(tiff, software);
    tiff.push_back(0);
    if (tiff.size() % 2 != 0)
        tiff.push_back(0);

    Bytes payload;
    put_text(payload, "Exif");
    payload.push_back(0);
    payload.push_back(0);
    payload.insert(payload.end(), tiff.begin(), tiff.end());
    return payload;
}

Bytes make_xmp_payload(const std::string& creator_tool) {
    const std::string packet =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
        " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
        "  <rdf:Description rdf:about=\"\"\n"
        "    xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
        "    xmlns:tiff=\"http://ns.adobe.com/tiff/1.0/\"\n"
        "   xmp:CreatorTool=\"" + creator_tool + "\"\n"
        "   tiff:Orientation=\"1\"/>\n"
        " </rdf:RDF>\n"
        "</x:xmpmeta>\n"
        "<?xpacket end=\"w\"?>";

    Bytes payload;
    put_text(payload, "http://ns.adobe.com/xap/1.0/");
    payload.push_back(0);
    put_text(payload, packet);
    return payload;
}

}  // namespace assetgen
