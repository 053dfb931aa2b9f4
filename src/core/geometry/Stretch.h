#pragma once
// Nearest-pixel stretching of an 8-bit picture: whole source rows and columns
// are dropped or repeated, indices are never blended.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

// Source column (or row) shown at destination position d of n, for a source of
// length len: d * len / n, rounded down.
std::int32_t nearestSource(std::int32_t d, std::int32_t n, std::int32_t len);

// Stretches bottom-up source rows (stride bytes each) to a top-down
// destination of dw x dh with dstStride bytes per row. Nothing is written for
// an empty source or destination.
void stretchBottomUp(const std::uint8_t* src, std::size_t srcStride, std::int32_t sw, std::int32_t sh,
                     std::uint8_t* dst, std::size_t dstStride, std::int32_t dw, std::int32_t dh);

}  // namespace velmora
