#pragma once
// The picture the engine draws, as frames and BMP files carry it.
#include <cstddef>
#include <cstdint>

namespace velmora {

// An 8-bit picture as BMP files and the engine hold it: rows bottom-up, each
// `stride` bytes, and a 256-entry colour table of blue, green, red, unused.
struct IndexedPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::size_t stride = 0;
    const std::uint8_t* bottomUpRows = nullptr;
    const std::uint8_t* colourTable = nullptr;  // 1024 bytes
};

}  // namespace velmora
