// Any bytes given to the document reader: no crash, no out-of-bounds access,
// and whatever it accepts writes back to the same fields.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "model/DocumentFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::DocumentContents first;
    if (!velmora::ParseDocument(data, size, first)) return 0;
    const auto bytes = velmora::SerializeContents(first);
    velmora::DocumentContents second;
    if (!velmora::ParseDocument(bytes.data(), bytes.size(), second)) std::abort();
    if (velmora::SerializeContents(second) != bytes) std::abort();
    // Everything before the folder field comes back exactly as it was read.
    if (std::memcmp(bytes.data(), data, 1099) != 0) std::abort();
    return 0;
}
