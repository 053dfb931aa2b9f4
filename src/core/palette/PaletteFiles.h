#pragma once
// Palette files: the program's own .rgb (read and written), FractInt .map and
// JASC .pal (read). Each operation works on a Palette it is given (in the
// editor, the grid's working copy) and reports its own failures through the
// Host, in boxes owned by the palette editor.
#include <functional>
#include <string>
#include <vector>

#include "palette/Palette.h"
#include "palette/PaletteStreams.h"
#include "base/Host.h"

namespace velmora {

inline constexpr char kRgbTag[] = "RGBQUAD[255]";
inline constexpr std::size_t kRgbTagSize = 12;
inline constexpr std::size_t kRgbFileSize = kRgbTagSize + Palette::kBytes;

inline constexpr const char* kPaletteLoadFilter =
    "Velmora Palette Files (*.rgb)|*.rgb|FractInt Palette Files (*.map)|*.map|"
    "Paint Shop Pro JASC Palette Files (*.pal)|*.pal|All Files (*.*)|*.*||";
inline constexpr const char* kPaletteSaveFilter = "Velmora Palette Files (*.rgb)|*.rgb|All Files (*.*)|*.*||";
inline constexpr const char* kPaletteDefaultExt = "rgb";

inline constexpr const char* kMsgCouldNotOpenFile = "Could not open file.";
inline constexpr const char* kMsgBadMap = "Conversion failed - this is not a valid FractInt .MAP file.";
inline constexpr const char* kMsgBadJasc = "This is not a valid 256-colour JASC palette file";
inline constexpr const char* kMsgTagReadError = "Could not read data.";
inline constexpr const char* kMsgBadRgb = "This is not a valid Velmora palette file";
inline constexpr const char* kMsgEntriesReadError = "Could not read data";

// Where messages go and what happens after a load that the grid must show.
struct PaletteFileContext {
    Host& host;
    std::string ownerName = "Palette Editor";
    // Repaint the palette shown; called where a reader says so.
    std::function<void()> rebuildAndRepaint;
};

enum class PaletteLoadResult {
    Loaded,      // all colours read (a short .rgb file counts: it replaces what it holds)
    Refused,     // contents not valid; message shown
    ReadError,   // the file could not be read to its end; message shown
    NotOpened,   // the file could not be opened; message shown, nothing changed
};

enum class PaletteReader { Rgb, FractIntMap, Jasc };

// The reader for a path, from its last three characters only (any case).
PaletteReader chooseReader(const std::string& path);

PaletteLoadResult readRgbPalette(const std::string& path, Palette& palette, const PaletteFileContext& ctx);
PaletteLoadResult readFractIntMap(const std::string& path, Palette& palette, const PaletteFileContext& ctx);
PaletteLoadResult readJascPalette(const std::string& path, Palette& palette, const PaletteFileContext& ctx);

// The same readers on an already opened source.
PaletteLoadResult readRgbPalette(ByteSource& in, Palette& palette, const PaletteFileContext& ctx);
PaletteLoadResult readFractIntMap(PaletteTextStream& in, Palette& palette, const PaletteFileContext& ctx);
PaletteLoadResult readJascPalette(PaletteTextStream& in, Palette& palette, const PaletteFileContext& ctx);

// Load: the reader chosen by the path, then the reserved bytes of all entries
// cleared, whatever the outcome, except when an .rgb file could not be opened.
PaletteLoadResult loadPaletteFromPath(const std::string& path, Palette& palette, const PaletteFileContext& ctx);

// The 1036 bytes of an .rgb file: the tag, then the palette as it is.
std::vector<std::uint8_t> rgbPaletteFileBytes(const Palette& palette);

// Save: writes the tag and the 1024 bytes through the safe save, so a failure
// leaves an earlier file at the path intact. False when it failed; the message
// has been shown.
bool savePaletteToPath(const std::string& path, const Palette& palette, const PaletteFileContext& ctx);

}  // namespace velmora
