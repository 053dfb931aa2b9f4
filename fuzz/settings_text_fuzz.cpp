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
    const std::string_view head = FirstCharacters(text, kParsedFieldChars);
    if (text.substr(0, head.size()) != head) std::abort();

    const double real = ParseReal(text);
    if (!std::isfinite(real)) std::abort();
    for (const RealStyle style : {RealStyle::Region, RealStyle::Constant}) {
        const std::string shown = FormatReal(real, style);
        if (FormatReal(ParseReal(shown), style) != shown) std::abort();
    }
    const std::int32_t n = ParseInteger(text);
    if (ParseInteger(FormatInteger(n)) != n) std::abort();
    return 0;
}
