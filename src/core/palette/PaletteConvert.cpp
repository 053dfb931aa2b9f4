#include "palette/PaletteConvert.h"

#include "palette/DefaultPalette.h"
#include "palette/PaletteFiles.h"

namespace velmora {

bool ConvertPaletteFile(const std::string& in, const std::string& out, Host& host) {
    Palette palette = DefaultPalette();
    const PaletteFileContext ctx{host, "Palette Editor", {}};
    if (LoadPaletteFromPath(in, palette, ctx) != PaletteLoadResult::Loaded) return false;
    return SavePaletteToPath(out, palette, ctx);
}

}  // namespace velmora
