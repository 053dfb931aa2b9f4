#include "model/ColourBlock.h"

#include "base/LittleEndian.h"

namespace velmora {

bool hasSignature(const std::uint8_t* head, const char (&signature)[8]) {
    for (std::size_t i = 0; i < sizeof signature; ++i)
        if (head[i] != static_cast<std::uint8_t>(signature[i])) return false;
    return true;
}

std::size_t blockLength(const std::uint8_t* head) {
    return le::loadU32(head + 8);
}

void appendColourBlock(std::vector<std::uint8_t>& out, const DocumentContents& c) {
    if (c.spread == ColourSpread{} && !c.animation.smooth) return;
    le::putBytes(out, reinterpret_cast<const std::uint8_t*>(kColourBlockSignature), sizeof kColourBlockSignature);
    le::putU32(out, static_cast<std::uint32_t>(kColourPayloadSize));
    le::putDouble(out, c.spread.density);
    le::putDouble(out, c.spread.offset);
    le::putU8(out, c.animation.smooth ? 1 : 0);
}

bool applyColourPayload(const std::uint8_t* data, std::size_t size, DocumentContents& c) {
    le::Reader in(data, size);
    ColourSpread spread;
    std::uint8_t flags = 0;
    if (!in.float64(spread.density) || !in.float64(spread.offset) || !in.U8(flags)) return false;
    if (!colourDensityAllowed(spread.density) || !colourOffsetAllowed(spread.offset)) return false;
    c.spread = spread;
    c.animation.smooth = (flags & 1) != 0;
    return true;
}

}  // namespace velmora
