#include "palette/DefaultPalette.h"

namespace velmora {
namespace {

RgbQuad hueEntry(int i) {
    auto ramp = [](int num, int den) { return static_cast<std::uint8_t>(255 * num / den); };
    RgbQuad q;
    if (i == 0) return q;
    if (i <= 48) {
        q.red = 255;
        q.green = ramp(i, 48);
    } else if (i <= 96) {
        q.red = ramp(96 - i, 48);
        q.green = 255;
    } else if (i <= 144) {
        q.green = 255;
        q.blue = ramp(i - 96, 48);
    } else if (i <= 192) {
        q.green = ramp(192 - i, 48);
        q.blue = 255;
    } else if (i <= 224) {
        q.red = ramp(i - 192, 32);
        q.blue = 255;
    } else {
        q.red = 255;
        q.blue = ramp(255 - i, 31);
    }
    return q;
}

Palette makeDefault() {
    Palette p;
    for (int i = 0; i < 256; ++i) p.setEntry(static_cast<std::size_t>(i), hueEntry(i));
    return p;
}

}  // namespace

const Palette& defaultPalette() {
    static const Palette palette = makeDefault();
    return palette;
}

}  // namespace velmora
