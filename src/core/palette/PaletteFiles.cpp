#include "palette/PaletteFiles.h"

#include <cstring>

#include "base/SaveMessages.h"
#include <memory>

#include "palette/PaletteText.h"
#include "base/FileErrors.h"
#include "base/FileIO.h"

namespace velmora {
namespace {

void showWindow(const PaletteFileContext& ctx, const std::string& text, MsgIcon icon) {
    Message m;
    m.text = text;
    m.caption = kAppTitle;
    m.icon = icon;
    m.buttons = MsgButtons::Ok;
    m.owner = MsgOwner::Dialog;
    m.ownerName = ctx.ownerName;
    ctx.host.showMessage(m);
}

void rebuildAndRepaint(const PaletteFileContext& ctx) {
    if (ctx.rebuildAndRepaint) ctx.rebuildAndRepaint();
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool endsWithNoCase(const std::string& s, const char* tail3) {
    if (s.size() < 3) return false;
    for (std::size_t i = 0; i < 3; ++i)
        if (lower(s[s.size() - 3 + i]) != tail3[i]) return false;
    return true;
}

// Opens a text palette file; a missing file, a folder or any other refusal is
// reported the same way, and nothing is ever created.
template <typename ReadFn>
PaletteLoadResult withTextFile(const std::string& path, const PaletteFileContext& ctx, ReadFn read) {
    FileByteSource file(path);
    if (!file.isOpen()) {
        showWindow(ctx, kMsgCouldNotOpenFile, MsgIcon::Error);
        return PaletteLoadResult::NotOpened;
    }
    PaletteTextStream text(&file);
    return read(text);
}

// Reads the triples into a copy so that a refused file leaves the colours as
// they were: the grid does not repaint after a failure, and a half-changed
// palette would then differ from what the user sees.
bool readTriplesWhole(PaletteTextStream& in, Palette& palette) {
    Palette work = palette;
    if (!readPaletteTriples(in, work)) return false;
    palette = work;
    return true;
}

}  // namespace

PaletteReader chooseReader(const std::string& path) {
    if (endsWithNoCase(path, "map")) return PaletteReader::FractIntMap;
    if (endsWithNoCase(path, "pal")) return PaletteReader::Jasc;
    return PaletteReader::Rgb;
}

PaletteLoadResult readRgbPalette(ByteSource& in, Palette& palette, const PaletteFileContext& ctx) {
    std::uint8_t tag[kRgbTagSize] = {};
    const std::size_t got = in.read(tag, kRgbTagSize);
    if (in.failed()) {
        showWindow(ctx, kMsgTagReadError, MsgIcon::Warning);
        return PaletteLoadResult::ReadError;
    }
    if (got != kRgbTagSize || std::memcmp(tag, kRgbTag, kRgbTagSize) != 0) {
        showWindow(ctx, kMsgBadRgb, MsgIcon::Error);
        return PaletteLoadResult::Refused;
    }
    // A short file replaces only the bytes it holds; the rest stay.
    std::size_t filled = 0;
    while (filled < Palette::kBytes) {
        const std::size_t n = in.read(palette.bytes() + filled, Palette::kBytes - filled);
        filled += n;
        if (n == 0 || in.failed()) break;
    }
    PaletteLoadResult result = PaletteLoadResult::Loaded;
    if (in.failed()) {
        showWindow(ctx, kMsgEntriesReadError, MsgIcon::Warning);
        result = PaletteLoadResult::ReadError;
    }
    rebuildAndRepaint(ctx);
    return result;
}

PaletteLoadResult readRgbPalette(const std::string& path, Palette& palette, const PaletteFileContext& ctx) {
    auto file = std::make_unique<FileByteSource>(path);
    if (!file->isOpen()) {
        showWindow(ctx, fileErrorMessage(path, file->openError(), FileOp::Read), MsgIcon::Error);
        return PaletteLoadResult::NotOpened;
    }
    bool rebuild = false;
    const PaletteFileContext inner{ctx.host, ctx.ownerName, [&rebuild] { rebuild = true; }};
    const PaletteLoadResult result = readRgbPalette(*file, palette, inner);
    file.reset();  // closed before the grid repaints
    if (rebuild) rebuildAndRepaint(ctx);
    return result;
}

PaletteLoadResult readFractIntMap(PaletteTextStream& in, Palette& palette, const PaletteFileContext& ctx) {
    if (!readTriplesWhole(in, palette)) {
        showWindow(ctx, kMsgBadMap, MsgIcon::Error);
        return PaletteLoadResult::Refused;
    }
    rebuildAndRepaint(ctx);
    return PaletteLoadResult::Loaded;
}

PaletteLoadResult readFractIntMap(const std::string& path, Palette& palette, const PaletteFileContext& ctx) {
    return withTextFile(path, ctx, [&](PaletteTextStream& in) { return readFractIntMap(in, palette, ctx); });
}

PaletteLoadResult readJascPalette(PaletteTextStream& in, Palette& palette, const PaletteFileContext& ctx) {
    // Only the colour count is checked: characters 15 to 17 must be "256",
    // which is where it stands after "JASC-PAL" and "0100" and their line ends.
    char head[17] = {};
    std::size_t got = 0;
    while (got < sizeof head) {
        const int c = in.get();
        if (c == PaletteTextStream::kEnd) break;
        head[got++] = static_cast<char>(c);
    }
    if (got < sizeof head || std::memcmp(head + 14, "256", 3) != 0) {
        showWindow(ctx, kMsgBadJasc, MsgIcon::Error);
        return PaletteLoadResult::Refused;
    }
    if (!readTriplesWhole(in, palette)) {
        showWindow(ctx, kMsgBadJasc, MsgIcon::Error);
        return PaletteLoadResult::Refused;
    }
    rebuildAndRepaint(ctx);
    return PaletteLoadResult::Loaded;
}

PaletteLoadResult readJascPalette(const std::string& path, Palette& palette, const PaletteFileContext& ctx) {
    return withTextFile(path, ctx, [&](PaletteTextStream& in) { return readJascPalette(in, palette, ctx); });
}

PaletteLoadResult loadPaletteFromPath(const std::string& path, Palette& palette, const PaletteFileContext& ctx) {
    PaletteLoadResult result = PaletteLoadResult::Loaded;
    switch (chooseReader(path)) {
        case PaletteReader::FractIntMap:
            result = readFractIntMap(path, palette, ctx);
            break;
        case PaletteReader::Jasc:
            result = readJascPalette(path, palette, ctx);
            break;
        case PaletteReader::Rgb:
            result = readRgbPalette(path, palette, ctx);
            // A file that could not even be opened changes nothing at all.
            if (result == PaletteLoadResult::NotOpened) return result;
            break;
    }
    palette.clearReserved();
    return result;
}

std::vector<std::uint8_t> rgbPaletteFileBytes(const Palette& palette) {
    std::vector<std::uint8_t> out(kRgbFileSize);
    std::memcpy(out.data(), kRgbTag, kRgbTagSize);
    std::memcpy(out.data() + kRgbTagSize, palette.bytes(), Palette::kBytes);
    return out;
}

bool savePaletteToPath(const std::string& path, const Palette& palette, const PaletteFileContext& ctx) {
    std::error_code cause;
    const WriteResult r = writeFileSafely(
        path,
        {{reinterpret_cast<const std::uint8_t*>(kRgbTag), kRgbTagSize}, {palette.bytes(), Palette::kBytes}},
        cause);
    if (r == WriteResult::Ok) return true;
    showWindow(ctx, saveFailureText(SavedFile::Palette, r, path, cause),
               r == WriteResult::CreateFailed ? MsgIcon::Error : MsgIcon::Warning);
    return false;
}

}  // namespace velmora
