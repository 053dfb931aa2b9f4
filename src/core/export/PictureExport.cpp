#include "export/PictureExport.h"

#include <algorithm>
#include <new>

#include "render/BandRender.h"

namespace velmora {
namespace {

// Output row `row` from the rendered rows N x row .. N x row + N - 1.
void averageRow(const BandRenderer& big, std::int32_t row, std::int32_t n, const Palette& palette,
                std::vector<std::uint8_t>& out) {
    const std::uint32_t cells = static_cast<std::uint32_t>(n * n);
    const std::size_t width = out.size() / 3;
    for (std::size_t x = 0; x < width; ++x) {
        std::uint32_t sum[3] = {0, 0, 0};  // red, green, blue
        for (std::int32_t dy = 0; dy < n; ++dy) {
            const std::uint8_t* src = big.row(row * n + dy) + x * static_cast<std::size_t>(n);
            for (std::int32_t dx = 0; dx < n; ++dx) {
                const std::uint8_t* q = palette.raw().data() + 4 * src[dx];  // blue, green, red, reserved
                sum[0] += q[2];
                sum[1] += q[1];
                sum[2] += q[0];
            }
        }
        for (std::size_t c = 0; c < 3; ++c)
            out[3 * x + c] = static_cast<std::uint8_t>((2 * sum[c] + cells) / (2 * cells));
    }
}

}  // namespace

PngWriteResult exportPng(const DocumentContents& contents, const std::string& path, ProgressSink* progress,
                         std::error_code& cause, std::int32_t bandRows, std::int32_t supersample) {
    const FractalParams& p = contents.params;
    const std::int32_t n = supersample;
    if (p.width <= 0 || p.height <= 0 || n < 1 || n > kMaxSupersample) return PngWriteResult::BadSize;
    FractalParams big = p;
    const std::int64_t bigWidth = std::int64_t{p.width} * n, bigHeight = std::int64_t{p.height} * n;
    if (bigWidth > kPngMaxSide || bigHeight > kPngMaxSide) return PngWriteResult::BadSize;
    big.width = static_cast<std::int32_t>(bigWidth);
    big.height = static_cast<std::int32_t>(bigHeight);
    const std::int32_t fit = static_cast<std::int32_t>(std::max<std::int64_t>(1, (4 << 20) / (bigWidth * n)));
    bandRows = std::clamp(std::min(bandRows, fit), 1, p.height);
    try {
        BandRenderer bands(big, bandRows * n);
        std::vector<std::uint8_t> rgb(n > 1 ? static_cast<std::size_t>(p.width) * 3 : 0);
        if (progress != nullptr) {
            progress->setRange(0, p.height);
            progress->setPos(0);
            progress->setStep(bandRows);
        }
        std::int32_t next = 0;  // the first output row not yet rendered
        const auto rows = [&](std::int32_t row) -> const std::uint8_t* {
            if (row >= next) {
                bands.render(row * n, bandRows * n);
                next = row + bandRows;
                if (progress != nullptr && row > 0) progress->stepIt();
            }
            if (n == 1) return bands.row(row);
            averageRow(bands, row, n, contents.palette, rgb);
            return rgb.data();
        };
        return writePng(path, p.width, p.height, n == 1 ? PngColour::Indexed : PngColour::Rgb, contents.palette,
                        serializeContents(contents), rows, cause);
    } catch (const std::bad_alloc&) {
        cause = std::make_error_code(std::errc::not_enough_memory);
        return PngWriteResult::CreateFailed;
    }
}

}  // namespace velmora
