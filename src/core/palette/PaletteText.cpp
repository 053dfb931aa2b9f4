#include "palette/PaletteText.h"

namespace velmora {
namespace {

bool isDigit(int c) { return c >= '0' && c <= '9'; }

// A bare CR is a line end too: maps written on old Macs use nothing else.
bool isLineEnd(int c) { return c == '\n' || c == '\r'; }

std::uint8_t stored(const std::optional<int>& v) {
    return v ? static_cast<std::uint8_t>(*v & 0xFF) : std::uint8_t{255};
}

}  // namespace

std::optional<int> readPaletteNumber(PaletteTextStream& in) {
    if (!in.isOpen() || in.atEnd()) return std::nullopt;
    int c = in.get();
    while (c != PaletteTextStream::kEnd && !isDigit(c)) c = in.get();
    if (c == PaletteTextStream::kEnd) return std::nullopt;
    int value = c - '0';
    int digits = 1;
    c = in.get();
    while (digits < 3 && isDigit(c)) {
        value = value * 10 + (c - '0');
        ++digits;
        c = in.get();
    }
    return value;
}

bool readPaletteTriples(PaletteTextStream& in, Palette& palette) {
    if (!in.isOpen() || in.atEnd()) return false;
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        RgbQuad q = palette.entry(i);
        q.red = stored(readPaletteNumber(in));
        q.green = stored(readPaletteNumber(in));
        const std::optional<int> blue = readPaletteNumber(in);
        q.blue = stored(blue);
        palette.setEntry(i, q);
        if (!blue) return false;
        // The number reader ate the character after the blue digits; unless
        // that was the line end, whatever follows on the line is a comment.
        int c = in.last();
        while (c != PaletteTextStream::kEnd && !isLineEnd(c)) c = in.get();
    }
    return true;
}

}  // namespace velmora
