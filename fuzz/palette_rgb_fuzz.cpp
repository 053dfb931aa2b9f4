// Any bytes as a Velmora .rgb palette file.
#include "PaletteFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::fuzz::drivePaletteReader(data, size, [](velmora::ByteSource& in, velmora::Palette& p, const auto& ctx) {
        return velmora::readRgbPalette(in, p, ctx);
    });
    return 0;
}
