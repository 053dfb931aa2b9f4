// Any text typed into a settings-dialog field: the readers never fail, what they
// read is finite, and a value shown and read back shows the same again.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/SettingsText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string_view head = firstCharacters(text, kParsedFieldChars);
    if (text.substr(0, head.size()) != head) std::abort();

    const double real = parseReal(text);
    if (!std::isfinite(real)) std::abort();
    for (const RealStyle style : {RealStyle::Region, RealStyle::Constant}) {
        const std::string shown = formatReal(real, style);
        if (formatReal(parseReal(shown), style) != shown) std::abort();
    }
    const std::int32_t n = parseInteger(text);
    if (parseInteger(formatInteger(n)) != n) std::abort();
    return 0;
}
