#pragma once
// A document's picture rendered and written as a PNG a band of rows at a time,
// so a picture of any size costs only a band's memory.
#include <cstdint>
#include <string>
#include <system_error>

#include "export/PngWriter.h"
#include "model/DocumentFile.h"
#include "render/Progress.h"

namespace velmora {

// Rows per band: about 4 MB of pixels, at most this many rows.
inline constexpr std::int32_t kPngBandRows = 64;

PngWriteResult exportPng(const DocumentContents& contents, const std::string& path, ProgressSink* progress,
                         std::error_code& cause, std::int32_t bandRows = kPngBandRows);

}  // namespace velmora
