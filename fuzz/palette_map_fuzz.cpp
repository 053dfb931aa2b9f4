// Any bytes as a FractInt .map palette file.
#include "PaletteFuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    velmora::fuzz::drivePaletteReader(data, size, [](velmora::ByteSource& in, velmora::Palette& p, const auto& ctx) {
        velmora::PaletteTextStream text(&in);
        return velmora::readFractIntMap(text, p, ctx);
    });
    return 0;
}
