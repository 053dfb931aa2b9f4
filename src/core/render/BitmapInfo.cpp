#include "render/BitmapInfo.h"

#include <algorithm>

#include "model/LittleEndian.h"

namespace velmora {

void FillBitmapInfo(BitmapInfoBlock& block, std::int32_t width, std::int32_t height,
                    const Palette& palette) {
    block.fill(0);
    std::uint8_t* p = block.data();
    le::StoreU32(p + 0, 40);        // biSize
    le::StoreI32(p + 4, width);     // biWidth
    le::StoreI32(p + 8, height);    // biHeight: positive, rows bottom-up
    le::StoreU16(p + 12, 1);        // biPlanes
    le::StoreU16(p + 14, 8);        // biBitCount
    le::StoreU32(p + 16, 0);        // biCompression = BI_RGB
    le::StoreU32(p + 20, 0);        // biSizeImage
    le::StoreI32(p + 24, 1);        // biXPelsPerMeter: 1, not a real resolution
    le::StoreI32(p + 28, 1);        // biYPelsPerMeter
    le::StoreU32(p + 32, 0);        // biClrUsed
    le::StoreU32(p + 36, 0);        // biClrImportant
    std::copy(palette.Raw().begin(), palette.Raw().end(), p + kBitmapInfoHeaderSize);
}

}  // namespace velmora
