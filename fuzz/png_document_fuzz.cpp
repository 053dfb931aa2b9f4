// Any bytes given to the PNG document reader: no crash, no unbounded memory, and
// a document it accepts writes back to bytes that read the same. Every chunk's
// CRC is made right first, so mutations reach the chunk reader and the
// document inside instead of stopping at libpng's checksum.
#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "export/PngDocumentChunk.h"
#include "model/DocumentFile.h"

namespace {

std::uint32_t bigEndian(const std::uint8_t* p) {
    return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 | p[3];
}

void fixCrcs(std::vector<std::uint8_t>& png) {
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length = bigEndian(&png[at]);
        if (length > png.size() - at - 12) return;
        const uLong crc = crc32(0, &png[at + 4], static_cast<uInt>(length + 4));
        for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += 12 + length;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    std::vector<std::uint8_t> png(data, data + size);
    fixCrcs(png);
    DocumentContents first;
    if (parsePngDocument(png.data(), png.size(), first) != PngDocumentResult::Loaded) return 0;
    const auto bytes = serializeContents(first);
    DocumentContents second;
    if (!parseDocument(bytes.data(), bytes.size(), second)) std::abort();
    if (serializeContents(second) != bytes) std::abort();
    return 0;
}
