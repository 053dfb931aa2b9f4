#include "palette/PaletteText.h"

namespace velmora {
namespace {

bool IsDigit(int c) { return c >= '0' && c <= '9'; }

// A bare CR is a line end too: maps written on old Macs use nothing else.
bool IsLineEnd(int c) { return c == '\n' || c == '\r'; }

std::uint8_t Stored(const std::optional<int>& v) {
    return v ? static_cast<std::uint8_t>(*v & 0xFF) : std::uint8_t{255};
}

}  // namespace

std::optional<int> ReadPaletteNumber(PaletteTextStream& in) {
    if (!in.IsOpen() || in.AtEnd()) return std::nullopt;
    int c = in.Get();
    while (c != PaletteTextStream::kEnd && !IsDigit(c)) c = in.Get();
    if (c == PaletteTextStream::kEnd) return std::nullopt;
    int value = c - '0';
    int digits = 1;
    c = in.Get();
    while (digits < 3 && IsDigit(c)) {
        value = value * 10 + (c - '0');
        ++digits;
        c = in.Get();
    }
    return value;
}

bool ReadPaletteTriples(PaletteTextStream& in, Palette& palette) {
    if (!in.IsOpen() || in.AtEnd()) return false;
    for (std::size_t i = 0; i < Palette::kEntries; ++i) {
        RgbQuad q = palette.Entry(i);
        q.red = Stored(ReadPaletteNumber(in));
        q.green = Stored(ReadPaletteNumber(in));
        const std::optional<int> blue = ReadPaletteNumber(in);
        q.blue = Stored(blue);
        palette.SetEntry(i, q);
        if (!blue) return false;
        // The number reader ate the character after the blue digits; unless
        // that was the line end, whatever follows on the line is a comment.
        int c = in.Last();
        while (c != PaletteTextStream::kEnd && !IsLineEnd(c)) c = in.Get();
    }
    return true;
}

}  // namespace velmora
