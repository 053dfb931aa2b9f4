#pragma once
// Turning the engine's 8-bit pictures into QImages that carry the palette's colours.
#include <QImage>
#include <QList>

#include "palette/Palette.h"
#include "render/BitmapInfo.h"
#include "geometry/SelectionCopy.h"

namespace velmora {
class FractalEngine;
}

namespace velmora::gui {

QList<QRgb> colorTable(const Palette& palette);
// The colour table held in a header block (as last drawn).
Palette paletteOfHeader(const BitmapInfoBlock& block);
// A top-down indexed image; null when it cannot be made.
QImage indexedImage(const CopiedImage& image, const Palette& palette);
// The whole picture, top-down; null when the engine has no pixels.
QImage wholePicture(const FractalEngine& engine, const Palette& palette);

}  // namespace velmora::gui
