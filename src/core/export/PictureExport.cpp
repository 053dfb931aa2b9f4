#include "export/PictureExport.h"

#include <algorithm>
#include <new>
#include <optional>

#include "base/SaveMessages.h"
#include "engine/BandRender.h"
#include "engine/SmoothBand.h"

namespace velmora {
namespace {

// Output row `row` as the mean of the rendered rows N x row .. N x row + N - 1;
// rgbOf(bigRow, column) gives a rendered pixel's red, green, blue.
template <class RgbOf>
void averageRow(std::int32_t row, std::int32_t n, const RgbOf& rgbOf, std::vector<std::uint8_t>& out) {
    const std::uint32_t cells = static_cast<std::uint32_t>(n * n);
    const std::size_t width = out.size() / 3;
    for (std::size_t x = 0; x < width; ++x) {
        std::uint32_t sum[3] = {0, 0, 0};
        for (std::int32_t dy = 0; dy < n; ++dy)
            for (std::int32_t dx = 0; dx < n; ++dx) {
                const std::uint8_t* q = rgbOf(row * n + dy, x * static_cast<std::size_t>(n) + dx);
                for (std::size_t c = 0; c < 3; ++c) sum[c] += q[c];
            }
        for (std::size_t c = 0; c < 3; ++c)
            out[3 * x + c] = static_cast<std::uint8_t>((2 * sum[c] + cells) / (2 * cells));
    }
}

// The picture an N-times supersampled export renders, its sides held to what a
// PNG can state.
FractalParams scaledPicture(const FractalParams& p, std::int32_t n) {
    FractalParams big = p;
    big.width = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{p.width} * n, kPngMaxSide));
    big.height = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{p.height} * n, kPngMaxSide));
    return big;
}

}  // namespace

PngWriteResult exportPng(const DocumentContents& contents, const std::string& path, ProgressSink* progress,
                         std::error_code& cause, const PngExportOptions& options) {
    const FractalParams& p = contents.params;
    const std::int32_t n = options.supersample;
    if (p.width <= 0 || p.height <= 0 || n < 1 || n > kMaxSupersample) return PngWriteResult::BadSize;
    if (std::int64_t{p.width} * n > kPngMaxSide || std::int64_t{p.height} * n > kPngMaxSide)
        return PngWriteResult::BadSize;
    const FractalParams big = scaledPicture(p, n);
    const bool indexed = n == 1 && !options.smooth;
    // About 4 MB of rendered pixels a band (3 bytes each when smooth).
    const std::int64_t bytesPerRow = std::int64_t{big.width} * n * (options.smooth ? 3 : 1);
    const std::int32_t fit = static_cast<std::int32_t>(std::max<std::int64_t>(1, (4 << 20) / bytesPerRow));
    const std::int32_t bandRows = std::clamp(std::min(options.bandRows, fit), 1, p.height);
    try {
        std::optional<BandRenderer> bands;
        std::optional<SmoothBandRenderer> smooth;
        if (options.smooth)
            smooth.emplace(big, contents.palette, bandRows * n, contents.spread);
        else
            bands.emplace(big, bandRows * n);
        const std::uint8_t* colours = contents.palette.bytes();
        const auto rgbOf = [&](std::int32_t bigRow, std::size_t column) -> const std::uint8_t* {
            if (smooth) return smooth->row(bigRow) + 3 * column;
            static thread_local std::uint8_t rgb[3];
            const std::uint8_t* q = colours + 4 * bands->row(bigRow)[column];  // blue, green, red, reserved
            rgb[0] = q[2], rgb[1] = q[1], rgb[2] = q[0];
            return rgb;
        };
        std::vector<std::uint8_t> rgb(indexed ? 0 : static_cast<std::size_t>(p.width) * 3);
        if (progress != nullptr) {
            progress->setRange(0, p.height);
            progress->setPos(0);
            progress->setStep(bandRows);
        }
        std::int32_t next = 0;  // the first output row not yet rendered
        const auto rows = [&](std::int32_t row) -> const std::uint8_t* {
            if (row >= next) {
                const bool done = smooth ? smooth->render(row * n, bandRows * n, options.cancel)
                                         : bands->render(row * n, bandRows * n, options.cancel);
                if (!done) return nullptr;
                next = row + bandRows;
                if (progress != nullptr && row > 0) progress->stepIt();
            }
            if (indexed) return bands->row(row);
            if (smooth && n == 1) return smooth->row(row);
            averageRow(row, n, rgbOf, rgb);
            return rgb.data();
        };
        return writePng(path, p.width, p.height, indexed ? PngColour::Indexed : PngColour::Rgb, contents.palette,
                        serializeContents(contents), rows, cause);
    } catch (const std::bad_alloc&) {
        return PngWriteResult::NoMemory;  // nothing was written
    }
}


}  // namespace velmora
