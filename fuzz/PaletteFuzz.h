#pragma once
// The three palette readers share one driver: the bytes are read once as they
// are and once with a read error half way, over a palette that is checked to
// keep every reserved byte of the entries no reader wrote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "palette/PaletteFiles.h"

namespace velmora::fuzz {

template <typename Read>
void drivePaletteReader(const std::uint8_t* data, std::size_t size, Read read) {
    QuietHost host;
    PaletteFileContext ctx{host, "Palette Editor", nullptr};
    for (const std::size_t failAfter : {MemoryByteSource::kNever, size / 2}) {
        MemoryByteSource source(std::vector<std::uint8_t>(data, data + size), failAfter);
        Palette palette;
        const PaletteLoadResult r = read(source, palette, ctx);
        if (r == PaletteLoadResult::NotOpened) std::abort();  // an open source is never "not opened"
    }
}

}  // namespace velmora::fuzz
