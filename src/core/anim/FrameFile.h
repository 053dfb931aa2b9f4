#pragma once
// Reading back the frame files an animation render writes: 8-bit BMP files of
// a 14-byte file header, the 1064-byte header block and bottom-up rows padded
// to four bytes. Every field is read on its own and nothing in the file is
// trusted to size a buffer; a resumed render keeps a frame file only when it
// is exactly what the render would write again.
#include <cstdint>
#include <string>
#include <vector>

#include "palette/Palette.h"
#include "render/IndexedPicture.h"

namespace velmora {

enum class FrameFileCheck {
    Complete,      // exactly the file the render writes
    Missing,       // no file, or it cannot be read
    NotAFrame,     // not an 8-bit uncompressed BMP laid out as the render writes it
    WrongSize,     // a frame of other pixel sides
    Truncated,     // shorter or longer than its header says
    OtherPalette,  // its colour table is not this frame's palette
};

struct FrameFile {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> header;  // the 1078 bytes before the pixels
    std::vector<std::uint8_t> pixels;  // bottom-up rows, each padded to 4 bytes

    // A view the video encoder takes; valid while the file object lives.
    IndexedPicture picture() const;
};

// Reads any frame file, whatever its size and palette. A file claiming sides
// over `maxSide` is refused before anything is allocated.
FrameFileCheck readFrameFile(const std::string& path, FrameFile& out, std::int32_t maxSide = 16384);

// Whether the file is a complete frame of width x height whose colour table is
// `palette`; `out` holds it when it is.
FrameFileCheck checkRenderedFrame(const std::string& path, std::int32_t width, std::int32_t height,
                                  const Palette& palette, FrameFile& out);

const char* frameFileCheckText(FrameFileCheck check);

}  // namespace velmora
