// Any bytes given to the PNG document reader: no crash, no unbounded memory, and
// a document it accepts writes back to bytes that read the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "export/PngDocumentChunk.h"
#include "model/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    DocumentContents first;
    if (parsePngDocument(data, size, first) != PngDocumentResult::Loaded) return 0;
    const auto bytes = serializeContents(first);
    DocumentContents second;
    if (!parseDocument(bytes.data(), bytes.size(), second)) std::abort();
    if (serializeContents(second) != bytes) std::abort();
    return 0;
}
