#include "anim/FrameFile.h"

#include <algorithm>
#include <system_error>

#include "base/FileIO.h"
#include "base/LittleEndian.h"
#include "export/BmpWriter.h"
#include "render/BitmapInfo.h"
#include "engine/FractalEngine.h"

namespace velmora {
namespace {

std::size_t strideOf(std::int32_t width) {
    return static_cast<std::size_t>(width) + static_cast<std::size_t>(FractalEngine::paddingFor(width));
}

}  // namespace

IndexedPicture FrameFile::picture() const {
    IndexedPicture p;
    p.width = width;
    p.height = height;
    p.stride = strideOf(width);
    p.bottomUpRows = pixels.data();
    p.colourTable = header.data() + 14 + kBitmapInfoHeaderSize;
    return p;
}

FrameFileCheck readFrameFile(const std::string& path, FrameFile& out, std::int32_t maxSide) {
    FileReader reader;
    std::error_code cause;
    if (!reader.open(path, cause)) return FrameFileCheck::Missing;
    out.header.assign(kBmpPixelOffset, 0);
    if (!reader.bytes(out.header.data(), out.header.size()))
        return reader.error() ? FrameFileCheck::Missing : FrameFileCheck::Truncated;

    const std::uint8_t* h = out.header.data();
    const std::uint8_t* info = h + 14;
    if (h[0] != 'B' || h[1] != 'M' || le::loadU32(h + 10) != kBmpPixelOffset ||
        le::loadU32(info) != kBitmapInfoHeaderSize || le::loadU16(info + 12) != 1 || le::loadU16(info + 14) != 8 ||
        le::loadU32(info + 16) != 0)
        return FrameFileCheck::NotAFrame;
    out.width = le::loadI32(info + 4);
    out.height = le::loadI32(info + 8);
    // Top-down rows (a negative height) are not what the render writes.
    if (out.width < 1 || out.height < 1 || out.width > maxSide || out.height > maxSide)
        return FrameFileCheck::NotAFrame;

    // The size field must state the length the sides give; the file must hold
    // exactly that many bytes, which reading shows.
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(strideOf(out.width)) *
                                     static_cast<std::uint64_t>(out.height);
    if (le::loadU32(h + 2) != kBmpPixelOffset + pixelBytes) return FrameFileCheck::Truncated;
    out.pixels.clear();
    // Grown as bytes arrive, so a short file never makes a large buffer.
    constexpr std::size_t kChunk = std::size_t{1} << 20;
    while (out.pixels.size() < pixelBytes) {
        const std::size_t at = out.pixels.size();
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, pixelBytes - at));
        out.pixels.resize(at + n);
        if (!reader.bytes(out.pixels.data() + at, n)) return FrameFileCheck::Truncated;
    }
    std::uint8_t extra = 0;
    if (reader.bytes(&extra, 1)) return FrameFileCheck::Truncated;
    return reader.error() ? FrameFileCheck::Missing : FrameFileCheck::Complete;
}

FrameFileCheck checkRenderedFrame(const std::string& path, std::int32_t width, std::int32_t height,
                                  const Palette& palette, FrameFile& out) {
    const FrameFileCheck read = readFrameFile(path, out, std::max(width, height));
    if (read == FrameFileCheck::NotAFrame && out.width >= 1 && out.height >= 1 &&
        (out.width != width || out.height != height))
        return FrameFileCheck::WrongSize;  // a larger frame than asked for
    if (read != FrameFileCheck::Complete) return read;
    if (out.width != width || out.height != height) return FrameFileCheck::WrongSize;
    // Every other byte before the pixels must be the render's own, so the kept
    // file is the one a new render would write.
    BitmapInfoBlock expected;
    fillBitmapInfo(expected, width, height, palette);
    const std::uint8_t* table = out.header.data() + 14 + kBitmapInfoHeaderSize;
    if (!std::equal(palette.raw().begin(), palette.raw().end(), table)) return FrameFileCheck::OtherPalette;
    if (!std::equal(expected.begin(), expected.end(), out.header.begin() + 14)) return FrameFileCheck::NotAFrame;
    const auto fileHeader = bmpFileHeader(width, height);
    if (!std::equal(fileHeader.begin(), fileHeader.end(), out.header.begin())) return FrameFileCheck::NotAFrame;
    return FrameFileCheck::Complete;
}

const char* frameFileCheckText(FrameFileCheck check) {
    switch (check) {
        case FrameFileCheck::Complete: return "complete";
        case FrameFileCheck::Missing: return "missing or unreadable";
        case FrameFileCheck::NotAFrame: return "not an 8-bit BMP frame";
        case FrameFileCheck::WrongSize: return "of another frame size";
        case FrameFileCheck::Truncated: return "incomplete";
        case FrameFileCheck::OtherPalette: return "of another palette";
    }
    return "not a frame";
}

}  // namespace velmora
