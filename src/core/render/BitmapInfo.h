#pragma once
// The 1064-byte block of a 40-byte BITMAPINFOHEADER and 256 RGBQUADs. It is
// both what the display draws with and bytes 14..1077 of every BMP file.
#include <array>
#include <cstddef>
#include <cstdint>

#include "palette/Palette.h"

namespace velmora {

inline constexpr std::size_t kBitmapInfoHeaderSize = 40;
inline constexpr std::size_t kBitmapInfoSize = kBitmapInfoHeaderSize + Palette::kBytes;  // 1064

using BitmapInfoBlock = std::array<std::uint8_t, kBitmapInfoSize>;

void fillBitmapInfo(BitmapInfoBlock& block, std::int32_t width, std::int32_t height,
                    const Palette& palette);

}  // namespace velmora
