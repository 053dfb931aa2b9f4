#pragma once
// A document's picture rendered and written as a PNG a band of rows at a time,
// so a picture of any size costs only a band's memory.
#include <atomic>
#include <cstdint>
#include <string>
#include <system_error>

#include "export/PngWriter.h"
#include "model/DocumentFile.h"
#include "render/Progress.h"

namespace velmora {

// Rows per band: about 4 MB of pixels, at most this many rows.
inline constexpr std::int32_t kPngBandRows = 64;

inline constexpr std::int32_t kMaxSupersample = 8;
// The largest side a PNG states (2^31 - 1).
inline constexpr std::int64_t kPngMaxSide = 0x7fffffff;

struct PngExportOptions {
    // N > 1: a true-colour PNG whose every pixel is the mean of an N x N block of
    // the same region rendered at N times the size, each channel the mean of the
    // 8-bit values rounded half up.
    std::int32_t supersample = 1;
    // A true-colour PNG coloured between palette entries by the fractional
    // count, spread over the palette as the contents say.
    bool smooth = false;
    std::int32_t bandRows = kPngBandRows;
    // Set from another thread to stop the export; the file at the path is then
    // left as it was (WriteFailed).
    const std::atomic<bool>* cancel = nullptr;
};

// Without options: an indexed PNG with the same indices as the BMP of the render.
PngWriteResult exportPng(const DocumentContents& contents, const std::string& path, ProgressSink* progress,
                         std::error_code& cause, const PngExportOptions& options = {});


}  // namespace velmora
