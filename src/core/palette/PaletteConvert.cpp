#include "palette/PaletteConvert.h"

#include "palette/DefaultPalette.h"
#include "palette/PaletteFiles.h"

namespace velmora {

bool loadPaletteFile(const std::string& in, Palette& out, Host& host) {
    Palette palette = defaultPalette();
    if (loadPaletteFromPath(in, palette, {host, "Palette Editor", {}}) != PaletteLoadResult::Loaded) return false;
    out = palette;
    return true;
}

bool convertPaletteFile(const std::string& in, const std::string& out, Host& host) {
    Palette palette;
    return loadPaletteFile(in, palette, host) && savePaletteToPath(out, palette, {host, "Palette Editor", {}});
}

}  // namespace velmora
