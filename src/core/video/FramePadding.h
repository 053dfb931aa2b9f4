#pragma once
// Frames as the video encoder takes them: 32-bit blue, green, red, unused
// pixels, top row first. 4:2:0 colour needs even sides, so an odd width or
// height is padded by repeating the last column or row; nothing is scaled.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/IndexedPicture.h"

namespace velmora {

// The side rounded up to even.
std::int32_t evenSide(std::int32_t side);

// Copies a top-down 32-bit picture into `out` at even sides (evenSide of each).
void padToEven(const std::uint8_t* pixels, std::size_t stride, std::int32_t width, std::int32_t height,
               std::vector<std::uint8_t>& out);

// The indexed picture through its colour table, top row first, at even sides.
void expandIndexed(const IndexedPicture& picture, std::vector<std::uint8_t>& out);

}  // namespace velmora
