#pragma once
// Copying the picture, or a box dragged over the view, as a top-down 8-bit
// image: the box is mapped from view pixels onto picture pixels and clipped.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora {

class FractalEngine;

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Maps a normalised box in client pixels (client size cw x ch) onto a picture
// of W x H pixels: each edge scaled in floating point and truncated toward
// zero, then clipped to the picture. Empty when nothing of the picture is left.
PixelRect mapSelectionToPicture(const PixelRect& box, std::int32_t clientWidth, std::int32_t clientHeight,
                                std::int32_t pictureWidth, std::int32_t pictureHeight);

// Bytes per copied row: the column count rounded up to a multiple of 4.
std::size_t copyStride(std::int32_t columns);

struct CopiedImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::size_t stride = 0;
    std::vector<std::uint8_t> bits;  // top-down rows, stride bytes each, padding zero
};

enum class CopyResult { Ok, Empty, NoMemory };

// Copies the part of the engine's bottom-up picture inside rect (already
// clipped to it) into top-down rows.
CopyResult copyPictureRect(const FractalEngine& engine, const PixelRect& rect, CopiedImage& out);

}  // namespace velmora
