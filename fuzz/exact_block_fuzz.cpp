// Any bytes as the payload of an exact-values block, against a document with a
// deep active location and two keyframes: no crash, and all or nothing. A
// payload that is refused changes no value; one that is taken writes back to
// the same block and reads the same again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "model/DocumentFile.h"
#include "model/ExactBlock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    DocumentContents c;
    // So deep that the edges share their doubles, as the seeds' texts do.
    c.params.left = c.params.right = -0.75;
    c.params.top = c.params.bottom = 0.1;
    c.keyframes.resize(2);
    if (size > maxExactPayload(c)) return 0;  // the reader refuses these before reading them
    const std::vector<std::uint8_t> before = serializeContents(c);
    if (!applyExactPayload(data, size, c)) {
        if (serializeContents(c) != before) std::abort();
        return 0;
    }
    const std::vector<std::uint8_t> bytes = serializeContents(c);
    DocumentContents back;
    if (!parseDocument(bytes.data(), bytes.size(), back) || serializeContents(back) != bytes) std::abort();
    return 0;
}
