#pragma once
// 8-bit BMP files: a 14-byte file header, the engine's 1064-byte header block,
// then its bottom-up rows with their padding.
#include <array>
#include <cstdint>
#include <string>
#include <system_error>

#include "engine/FractalEngine.h"

namespace velmora {

inline constexpr std::uint32_t kBmpPixelOffset = 1078;

enum class BmpWriteResult {
    Ok,
    CreateFailed,  // nothing written; the cause says why
    WriteFailed,   // a write, the flush or the rename failed; an earlier file at the path is intact
    NoHeader,      // the picture has not been drawn: no header block to write
    TooLarge,      // the size does not fit a BMP's 32-bit file-size field
    BadSize,       // no pixels: a side below 1
};

// What to tell the user when a BMP write did not succeed (empty for Ok).
std::string bmpWriteMessage(BmpWriteResult result, const std::string& path, const std::error_code& cause);

// The 14-byte file header for a picture of the engine's size.
std::array<std::uint8_t, 14> bmpFileHeader(std::int32_t width, std::int32_t height);

// Whether a picture of this size fits a BMP file, whose 32-bit size field
// states the whole file. Asked before rendering, so no picture that could not be
// written is ever drawn.
bool bmpSizeFits(std::int32_t width, std::int32_t height);

// The picture must have been drawn (buildBitmap) since the last render.
BmpWriteResult writeBmp(const FractalEngine& engine, const std::string& path, std::error_code& cause);
// A document without an engine has nothing drawn.
inline BmpWriteResult writeBmp(const FractalEngine* engine, const std::string& path, std::error_code& cause) {
    return engine != nullptr ? writeBmp(*engine, path, cause) : BmpWriteResult::NoHeader;
}

}  // namespace velmora
