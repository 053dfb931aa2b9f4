#pragma once
// A true-colour frame file read back whole: the smooth frames an animation
// render keeps, for resuming and for a video made from the files.
#include <cstdint>
#include <string>
#include <vector>

namespace velmora {

// Reads an 8-bit RGB PNG of exactly width x height into 32-bit blue, green,
// red, unused pixels, top row first (width x 4 bytes a row). False, for any
// file that is not such a picture, damaged or cut short: nothing is trusted
// before it is checked, and no more memory is claimed than the size asked for.
bool readTrueColourFrame(const std::string& path, std::int32_t width, std::int32_t height,
                         std::vector<std::uint8_t>& bgr0);

// The same, taking the size from the file (at most maxPixels pixels).
bool readTrueColourFrame(const std::string& path, std::int32_t& width, std::int32_t& height,
                         std::vector<std::uint8_t>& bgr0, std::int64_t maxPixels);

}  // namespace velmora
