#include "palette/PaletteConvert.h"

#include "palette/DefaultPalette.h"
#include "palette/PaletteFiles.h"

namespace velmora {

bool convertPaletteFile(const std::string& in, const std::string& out, Host& host) {
    Palette palette = defaultPalette();
    const PaletteFileContext ctx{host, "Palette Editor", {}};
    if (loadPaletteFromPath(in, palette, ctx) != PaletteLoadResult::Loaded) return false;
    return savePaletteToPath(out, palette, ctx);
}

}  // namespace velmora
