#include "render/BitmapInfo.h"

#include <algorithm>

#include "base/LittleEndian.h"

namespace velmora {

void fillBitmapInfo(BitmapInfoBlock& block, std::int32_t width, std::int32_t height,
                    const Palette& palette) {
    block.fill(0);
    std::uint8_t* p = block.data();
    le::storeU32(p + 0, 40);        // biSize
    le::storeI32(p + 4, width);     // biWidth
    le::storeI32(p + 8, height);    // biHeight: positive, rows bottom-up
    le::storeU16(p + 12, 1);        // biPlanes
    le::storeU16(p + 14, 8);        // biBitCount
    le::storeU32(p + 16, 0);        // biCompression = BI_RGB
    le::storeU32(p + 20, 0);        // biSizeImage
    le::storeI32(p + 24, 1);        // biXPelsPerMeter: 1, not a real resolution
    le::storeI32(p + 28, 1);        // biYPelsPerMeter
    le::storeU32(p + 32, 0);        // biClrUsed
    le::storeU32(p + 36, 0);        // biClrImportant
    std::copy(palette.raw().begin(), palette.raw().end(), p + kBitmapInfoHeaderSize);
}

}  // namespace velmora
