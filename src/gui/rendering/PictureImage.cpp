#include "rendering/PictureImage.h"

#include <cstring>

#include "engine/FractalEngine.h"

namespace velmora::gui {

QList<QRgb> colorTable(const Palette& palette) {
    QList<QRgb> table;
    table.reserve(static_cast<qsizetype>(Palette::kEntries));
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        const RgbQuad q = palette.entry(i);
        table.append(qRgb(q.red, q.green, q.blue));
    }
    return table;
}

Palette paletteOfHeader(const BitmapInfoBlock& block) {
    Palette p;
    std::memcpy(p.bytes(), block.data() + kBitmapInfoHeaderSize, Palette::kBytes);
    return p;
}

QImage indexedImage(const CopiedImage& image, const Palette& palette) {
    if (image.width <= 0 || image.height <= 0) return {};
    QImage out(image.width, image.height, QImage::Format_Indexed8);
    if (out.isNull()) return {};
    out.setColorTable(colorTable(palette));
    for (int y = 0; y < image.height; ++y)
        std::memcpy(out.scanLine(y), image.bits.data() + static_cast<std::size_t>(y) * image.stride,
                    static_cast<std::size_t>(image.width));
    return out;
}

QImage wholePicture(const FractalEngine& engine, const Palette& palette) {
    CopiedImage copy;
    const PixelRect all{0, 0, engine.width(), engine.height()};
    if (copyPictureRect(engine, all, copy) != CopyResult::Ok) return {};
    return indexedImage(copy, palette);
}

}  // namespace velmora::gui
