// Any bytes as the JSON text of a document (velmora-cli new --from-json): no
// crash, and a text it takes makes a document that reads back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "JsonDocument.h"
#include "model/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    DocumentContents c;
    std::string error;
    if (!cli::contentsFromJson(std::string(reinterpret_cast<const char*>(data), size), c, error)) return 0;
    const auto bytes = serializeContents(c);
    DocumentContents back;
    if (!parseDocument(bytes.data(), bytes.size(), back) || serializeContents(back) != bytes) std::abort();
    return 0;
}
