// Any text typed into an animation dialog's number field: the reader agrees with
// a plain reading of the same text held to the 32-bit range.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string_view>

#include "model/DialogNumber.h"
#include "anim/KeyframeEdit.h"

namespace {

// Blanks, one sign, digits: summed in a wide type that stops growing past the range.
std::int64_t plain(std::string_view t) {
    std::size_t i = t.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) return 0;
    const bool negative = t[i] == '-';
    if (t[i] == '-' || t[i] == '+') ++i;
    std::int64_t v = 0;
    for (; i < t.size() && t[i] >= '0' && t[i] <= '9'; ++i)
        v = std::min<std::int64_t>(v * 10 + (t[i] - '0'), 1LL << 40);
    return negative ? -v : v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::int64_t expected = std::clamp<std::int64_t>(plain(text), std::numeric_limits<std::int32_t>::min(),
                                                           std::numeric_limits<std::int32_t>::max());
    if (readLeadingInt(text) != expected) std::abort();
    const CountEntry entry = readTransitionCount(std::string(text));
    if (entry.accepted && entry.count < 1) std::abort();
    return 0;
}
