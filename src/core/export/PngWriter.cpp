#include "export/PngWriter.h"

#include <csetjmp>
#include <string_view>

#include <png.h>

#include "export/Base64.h"
#include "base/FileIO.h"
#include "base/SaveMessages.h"

namespace velmora {
namespace {

// libpng reports errors by longjmp: every call that may fail runs in a frame
// of its own that holds nothing needing a destructor.
[[noreturn]] void onError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
void onWarning(png_structp, png_const_charp) {}

void onWrite(png_structp png, png_bytep data, png_size_t size) {
    const auto* sink = static_cast<const ByteSink*>(png_get_io_ptr(png));
    if (!(*sink)(data, size)) png_error(png, "write failed");
}
void onFlush(png_structp) {}

bool writeHeader(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_info(png, info);
    return true;
}

bool writeRow(png_structp png, const std::uint8_t* row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_row(png, row);
    return true;
}

bool writeEnd(png_structp png, png_infop info) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_write_end(png, info);
    return true;
}

bool setFields(png_structp png, png_infop info, std::int32_t width, std::int32_t height, const png_color* plte,
               png_text* text) {
    // plte null: a true-colour picture.
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);  // any size a PNG can state
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 plte ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (plte) png_set_PLTE(png, info, plte, 256);
    png_set_text(png, info, text, 1);
    // Filters rarely help palette indices; none keeps the writer fast.
    if (plte) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    return true;
}

bool writeAllRows(png_structp png, png_infop info, std::int32_t width, std::int32_t height, const png_color* plte,
                  png_text* text, const PngRowSource& rows) {
    if (!setFields(png, info, width, height, plte, text) || !writeHeader(png, info)) return false;
    for (std::int32_t r = 0; r < height; ++r) {
        const std::uint8_t* row = rows(r);
        if (row == nullptr || !writeRow(png, row)) return false;
    }
    return writeEnd(png, info);
}

}  // namespace

PngWriteResult writePng(const std::string& path, std::int32_t width, std::int32_t height, PngColour colour,
                        const Palette& palette, const std::vector<std::uint8_t>& document, const PngRowSource& rows,
                        std::error_code& cause) {
    if (width <= 0 || height <= 0) return PngWriteResult::BadSize;
    // iTXt data: keyword, its 0, two flag bytes, two empty texts' 0s, then the base64.
    const std::size_t chunk = std::string_view(kPngDocumentKeyword).size() + 5 + (document.size() + 2) / 3 * 4;
    if (chunk > kMaxPngChunkBytes) return PngWriteResult::DocumentTooLarge;
    png_color plte[256];
    for (std::size_t i = 0; i < 256; ++i) {
        const std::uint8_t* q = palette.raw().data() + 4 * i;  // blue, green, red, reserved
        plte[i] = png_color{q[2], q[1], q[0]};
    }
    std::string encoded = base64Encode(document);
    std::string keyword = kPngDocumentKeyword;
    std::string empty;
    png_text text{};
    text.compression = PNG_ITXT_COMPRESSION_NONE;
    text.key = keyword.data();
    text.text = encoded.data();
    text.itxt_length = encoded.size();
    text.lang = empty.data();
    text.lang_key = empty.data();

    const WriteResult r = writeFileSafely(
        path,
        [&](const ByteSink& sink) {
            png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, onError, onWarning);
            png_infop info = png ? png_create_info_struct(png) : nullptr;
            bool ok = info != nullptr;
            if (ok) {
                png_set_write_fn(png, const_cast<ByteSink*>(&sink), onWrite, onFlush);
                ok = writeAllRows(png, info, width, height, colour == PngColour::Indexed ? plte : nullptr, &text, rows);
            }
            png_destroy_write_struct(&png, &info);
            return ok;
        },
        cause);
    switch (r) {
        case WriteResult::Ok:
            return PngWriteResult::Ok;
        case WriteResult::CreateFailed:
            return PngWriteResult::CreateFailed;
        case WriteResult::WriteFailed:
            return PngWriteResult::WriteFailed;
    }
    return PngWriteResult::WriteFailed;
}

std::string pngWriteMessage(PngWriteResult result, const std::string& path, const std::error_code& cause) {
    switch (result) {
        case PngWriteResult::Ok:
            return {};
        case PngWriteResult::CreateFailed:
            return saveFailureText(SavedFile::Png, WriteResult::CreateFailed, path, cause);
        case PngWriteResult::WriteFailed:
            return saveFailureText(SavedFile::Png, WriteResult::WriteFailed, path, cause);
        case PngWriteResult::NoMemory:
            return "Not enough memory for bitmap.";
        case PngWriteResult::DocumentTooLarge:
            return "The document is too large to be kept in a PNG file.";
        case PngWriteResult::BadSize:
            break;
    }
    return "A PNG file cannot hold a picture of this size.";
}

}  // namespace velmora
