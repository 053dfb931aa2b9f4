#include "paletteeditor/TargetCursor.h"

#include <QBitmap>
#include <QImage>

namespace velmora::gui {
namespace {

// The arrow: '#' black, '.' white, anything else transparent; its tip at (1, 1).
constexpr const char* kArrow[] = {
    "#",
    "##",
    "#.#",
    "#..#",
    "#...#",
    "#....#",
    "#.....#",
    "#......#",
    "#.......#",
    "#........#",
    "#.....#####",
    "#..#..#",
    "#.# #..#",
    "##  #..#",
    "#    #..#",
    "     #..#",
    "      ##",
};

// The letters, black on a white halo one pixel wide.
constexpr const char* kLetterT[] = {
    "#######", "#######", "  ###  ", "  ###  ", "  ###  ", "  ###  ", "  ###  ", "  ###  ", "  ###  ",
};
constexpr const char* kLetterO[] = {
    " ##### ", "##   ##", "##   ##", "##   ##", "##   ##", "##   ##", "##   ##", "##   ##", " ##### ",
};

enum Pixel : char { Clear = 0, White = 1, Black = 2 };
using Grid = Pixel[kTargetCursorSize][kTargetCursorSize];

void put(Grid& g, int x, int y, Pixel p) {
    if (x < 0 || y < 0 || x >= kTargetCursorSize || y >= kTargetCursorSize) return;
    if (p == White && g[y][x] == Black) return;
    g[y][x] = p;
}

template <std::size_t N>
void drawArrow(Grid& g, const char* const (&rows)[N], int left, int top) {
    for (std::size_t r = 0; r < N; ++r)
        for (int c = 0; rows[r][c] != '\0'; ++c) {
            if (rows[r][c] == '#') put(g, left + c, top + static_cast<int>(r), Black);
            if (rows[r][c] == '.') put(g, left + c, top + static_cast<int>(r), White);
        }
}

template <std::size_t N>
void drawLetter(Grid& g, const char* const (&rows)[N], int left, int top) {
    for (std::size_t r = 0; r < N; ++r)
        for (int c = 0; rows[r][c] != '\0'; ++c) {
            if (rows[r][c] != '#') continue;
            const int x = left + c;
            const int y = top + static_cast<int>(r);
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) put(g, x + dx, y + dy, White);
        }
    for (std::size_t r = 0; r < N; ++r)
        for (int c = 0; rows[r][c] != '\0'; ++c)
            if (rows[r][c] == '#') put(g, left + c, top + static_cast<int>(r), Black);
}

}  // namespace

std::optional<QCursor> makeTargetCursor() {
    QImage shape(kTargetCursorSize, kTargetCursorSize, QImage::Format_MonoLSB);
    QImage mask(kTargetCursorSize, kTargetCursorSize, QImage::Format_MonoLSB);
    if (shape.isNull() || mask.isNull()) return std::nullopt;
    shape.setColorCount(2);
    mask.setColorCount(2);
    // Index 1 is colour1: black in the shape, opaque in the mask.
    shape.setColor(0, qRgb(255, 255, 255));
    shape.setColor(1, qRgb(0, 0, 0));
    mask.setColor(0, qRgb(255, 255, 255));
    mask.setColor(1, qRgb(0, 0, 0));
    shape.fill(0);
    mask.fill(0);
    Grid g{};
    drawArrow(g, kArrow, 1, 1);
    drawLetter(g, kLetterT, 14, 4);
    drawLetter(g, kLetterO, 23, 4);
    for (int y = 0; y < kTargetCursorSize; ++y) {
        for (int x = 0; x < kTargetCursorSize; ++x) {
            if (g[y][x] != Clear) mask.setPixel(x, y, 1);
            if (g[y][x] == Black) shape.setPixel(x, y, 1);
        }
    }
    const QBitmap shapeBits = QBitmap::fromImage(shape);
    const QBitmap maskBits = QBitmap::fromImage(mask);
    if (shapeBits.isNull() || maskBits.isNull()) return std::nullopt;
    return QCursor(shapeBits, maskBits, 1, 1);
}

}  // namespace velmora::gui
