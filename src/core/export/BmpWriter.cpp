#include "export/BmpWriter.h"

#include <limits>

#include "base/LittleEndian.h"
#include "base/FileIO.h"
#include "base/SaveMessages.h"

namespace velmora {
namespace {

std::uint64_t pixelBytes(std::int32_t width, std::int32_t height) {
    const std::uint64_t w = width > 0 ? static_cast<std::uint64_t>(width) : 0;
    const std::uint64_t stride = w + static_cast<std::uint64_t>(FractalEngine::paddingFor(width));
    const std::uint64_t h = height > 0 ? static_cast<std::uint64_t>(height) : 0;
    return stride * h;
}

}  // namespace

std::array<std::uint8_t, 14> bmpFileHeader(std::int32_t width, std::int32_t height) {
    std::array<std::uint8_t, 14> h{};
    h[0] = 'B';
    h[1] = 'M';
    le::storeU32(&h[2], static_cast<std::uint32_t>(kBmpPixelOffset + pixelBytes(width, height)));
    le::storeU32(&h[10], kBmpPixelOffset);
    return h;
}

bool bmpSizeFits(std::int32_t width, std::int32_t height) {
    return kBmpPixelOffset + pixelBytes(width, height) <= std::numeric_limits<std::uint32_t>::max();
}

BmpWriteResult writeBmp(const FractalEngine& engine, const std::string& path, std::error_code& cause) {
    // A picture without pixels is refused before its missing block is.
    if (engine.width() < 1 || engine.height() < 1) return BmpWriteResult::BadSize;
    const BitmapInfoBlock* info = engine.bitmapInfo();
    if (info == nullptr || !engine.hasBuffer()) return BmpWriteResult::NoHeader;
    if (!bmpSizeFits(engine.width(), engine.height())) {
        return BmpWriteResult::TooLarge;  // the header could not state the file's size
    }
    const std::uint64_t pixels = pixelBytes(engine.width(), engine.height());
    const auto header = bmpFileHeader(engine.width(), engine.height());
    const WriteResult r = writeFileSafely(path,
                                          {{header.data(), header.size()},
                                           {info->data(), info->size()},
                                           {engine.bits(), static_cast<std::size_t>(pixels)}},
                                          cause);
    switch (r) {
        case WriteResult::Ok:
            return BmpWriteResult::Ok;
        case WriteResult::CreateFailed:
            return BmpWriteResult::CreateFailed;
        case WriteResult::WriteFailed:
            return BmpWriteResult::WriteFailed;
    }
    return BmpWriteResult::WriteFailed;
}

std::string bmpWriteMessage(BmpWriteResult result, const std::string& path, const std::error_code& cause) {
    switch (result) {
        case BmpWriteResult::Ok:
            return {};
        case BmpWriteResult::CreateFailed:
            return saveFailureText(SavedFile::Bmp, WriteResult::CreateFailed, path, cause);
        case BmpWriteResult::WriteFailed:
            return saveFailureText(SavedFile::Bmp, WriteResult::WriteFailed, path, cause);
        case BmpWriteResult::TooLarge:
            return "The picture is too large for a BMP file.";
        case BmpWriteResult::BadSize:
            return "A BMP file cannot hold a picture of this size.";
        case BmpWriteResult::NoHeader:
            break;
    }
    return "Windows reported 'Out of Memory'";
}

}  // namespace velmora
