#pragma once
// 8-bit indexed (colour type 3) or true-colour (type 2) PNG files with the document inside, written
// row by row through the safe save so that no picture is ever held whole.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <vector>

#include "palette/Palette.h"

namespace velmora {

// The keyword of the iTXt chunk that holds the document's file bytes, base64.
inline constexpr const char* kPngDocumentKeyword = "velmora";
// The most a chunk may hold for the reader. A document of a million keyframes
// is far beyond any real one; the limit is what bounds the memory a hostile
// file can claim, so the writer keeps to it too.
inline constexpr std::size_t kMaxPngChunkBytes = 64u << 20;

enum class PngWriteResult {
    Ok,
    CreateFailed,  // nothing written; the cause says why
    WriteFailed,   // a write, the flush or the rename failed, or the rows stopped; an earlier file is intact
    BadSize,       // not a size a PNG can hold
    DocumentTooLarge,  // the document's chunk would be more than a reader takes; nothing written
    NoMemory,          // a band of the picture could not be had; nothing written
};

// What to tell the user when a PNG write did not succeed (empty for Ok).
std::string pngWriteMessage(PngWriteResult result, const std::string& path, const std::error_code& cause);

// Image row `row` (0 at the top): width bytes of palette indices, or 3 x width
// bytes of red, green, blue; null stops the write (a cancelled render).
using PngRowSource = std::function<const std::uint8_t*(std::int32_t row)>;

enum class PngColour { Indexed, Rgb };

// The palette goes into PLTE for an indexed picture.
PngWriteResult writePng(const std::string& path, std::int32_t width, std::int32_t height, PngColour colour,
                        const Palette& palette, const std::vector<std::uint8_t>& document, const PngRowSource& rows,
                        std::error_code& cause);

}  // namespace velmora
