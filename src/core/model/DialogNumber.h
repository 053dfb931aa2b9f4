#pragma once
// How the animation dialogs read a number typed into an edit field.
#include <cstdint>
#include <string_view>

namespace velmora {

// Leading blanks, an optional sign, then digits up to the first other
// character; text without leading digits gives 0. Values beyond 32 bits are
// held at the nearest limit rather than wrapping.
std::int32_t readLeadingInt(std::string_view text);

}  // namespace velmora
