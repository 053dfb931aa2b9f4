// Any bytes given to the PNG document reader: no crash, no unbounded memory, and
// a document it accepts writes back to bytes that read the same. Every chunk's
// CRC is made right first, so mutations reach the chunk reader and the
// document inside instead of stopping at libpng's checksum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "export/PngDocumentChunk.h"
#include "model/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    std::vector<std::uint8_t> png(data, data + size);
    fuzz::fixPngCrcs(png);
    DocumentContents first;
    if (parsePngDocument(png.data(), png.size(), first) != PngDocumentResult::Loaded) return 0;
    const auto bytes = serializeContents(first);
    DocumentContents second;
    if (!parseDocument(bytes.data(), bytes.size(), second)) std::abort();
    if (serializeContents(second) != bytes) std::abort();
    return 0;
}
