// Any text as a decimal number of any length: the reader refuses what is not
// one, and a value it takes prints as decimal text that reads to about the same double.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "location/DecimalText.h"
#include "location/Mpfr.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    Mpfr value(bitsToRead(text));
    const bool read = readDecimal(text, value);
    if (read && !isDecimalText(text)) std::abort();
    double nearest = 0.0;
    if (read != nearestDouble(text, nearest)) std::abort();
    if (!read) return 0;
    if (!std::isfinite(nearest)) std::abort();
    // Exponents are read to six digits, so ".1e-999999" reads to a value whose
    // own text needs seven: no location comes near, and no text shows it readably.
    if (!mpfr_zero_p(value.get()) && std::labs(static_cast<long>(mpfr_get_exp(value.get()))) > 3321920) return 0;
    const std::string shown = formatDecimal(value, 40);
    double again = 0.0;
    // Forty digits may round across the midpoint between two doubles: one step apart at most.
    if (!isDecimalText(shown) || !nearestDouble(shown, again) || std::nextafter(again, nearest) != nearest)
        std::abort();
    return 0;
}
