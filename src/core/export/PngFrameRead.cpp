#include "export/PngFrameRead.h"

#include <csetjmp>

#include <png.h>

#include "base/FileIO.h"

namespace velmora {
namespace {

// libpng reports errors by longjmp: every call that may fail runs in a frame
// of its own that holds nothing needing a destructor.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

void onRead(png_structp png, png_bytep data, png_size_t size) {
    auto* in = static_cast<FileReader*>(png_get_io_ptr(png));
    if (!in->bytes(data, size)) png_error(png, "read failed");
}

bool readHeader(png_structp png, png_infop info, png_uint_32& w, png_uint_32& h, int& depth, int& colour,
                int& interlace) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    png_get_IHDR(png, info, &w, &h, &depth, &colour, &interlace, nullptr, nullptr);
    return true;
}

bool readRow(png_structp png, png_bytep row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_row(png, row, nullptr);
    return true;
}

bool readEnd(png_structp png) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_end(png, nullptr);
    return true;
}

struct ReadStructs {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, &info, nullptr); }
};

// width and height: wanted (> 0) or taken from the file (0), within maxPixels.
bool readFrame(const std::string& path, std::int32_t& width, std::int32_t& height, std::vector<std::uint8_t>& bgr0,
               std::int64_t maxPixels) {
    FileReader in;
    std::error_code cause;
    std::uint8_t signature[8];
    if (!in.open(path, cause) || !in.bytes(signature, sizeof signature) || png_sig_cmp(signature, 0, 8) != 0)
        return false;
    ReadStructs s;
    if (s.info == nullptr) return false;
    png_set_read_fn(s.png, &in, onRead);
    png_set_sig_bytes(s.png, 8);
    // A frame needs its pixels only: text chunks (compressed ones may unpack
    // to any size) are passed over, and no other chunk may claim much.
    static constexpr png_byte kText[] = {'t', 'E', 'X', 't', 0, 'z', 'T', 'X', 't', 0, 'i', 'T', 'X', 't', 0};
    png_set_keep_unknown_chunks(s.png, PNG_HANDLE_CHUNK_NEVER, kText, 3);
    png_set_chunk_malloc_max(s.png, 1 << 20);
    png_set_chunk_cache_max(s.png, 16);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colour = 0, interlace = 0;
    if (!readHeader(s.png, s.info, w, h, depth, colour, interlace)) return false;
    if (depth != 8 || colour != PNG_COLOR_TYPE_RGB || interlace != PNG_INTERLACE_NONE) return false;
    if (width > 0 ? (w != static_cast<png_uint_32>(width) || h != static_cast<png_uint_32>(height))
                  : std::int64_t{w} * h > maxPixels)
        return false;
    width = static_cast<std::int32_t>(w);
    height = static_cast<std::int32_t>(h);
    std::vector<std::uint8_t> rgb(std::size_t{w} * 3);
    bgr0.assign(std::size_t{w} * h * 4, 0);
    for (png_uint_32 y = 0; y < h; ++y) {
        if (!readRow(s.png, rgb.data())) return false;
        std::uint8_t* out = bgr0.data() + std::size_t{y} * w * 4;
        for (png_uint_32 x = 0; x < w; ++x) {
            out[4 * x] = rgb[3 * x + 2];
            out[4 * x + 1] = rgb[3 * x + 1];
            out[4 * x + 2] = rgb[3 * x];
        }
    }
    return readEnd(s.png);
}

}  // namespace

bool readTrueColourFrame(const std::string& path, std::int32_t width, std::int32_t height,
                         std::vector<std::uint8_t>& bgr0) {
    if (width < 1 || height < 1) return false;
    return readFrame(path, width, height, bgr0, 0);
}

bool readTrueColourFrame(const std::string& path, std::int32_t& width, std::int32_t& height,
                         std::vector<std::uint8_t>& bgr0, std::int64_t maxPixels) {
    width = height = 0;
    return readFrame(path, width, height, bgr0, maxPixels);
}

}  // namespace velmora
