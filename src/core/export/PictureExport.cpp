#include "export/PictureExport.h"

#include <algorithm>
#include <new>

#include "render/BandRender.h"

namespace velmora {

PngWriteResult exportPng(const DocumentContents& contents, const std::string& path, ProgressSink* progress,
                         std::error_code& cause, std::int32_t bandRows) {
    const FractalParams& p = contents.params;
    if (p.width <= 0 || p.height <= 0) return PngWriteResult::BadSize;
    const std::int32_t fit = static_cast<std::int32_t>(std::max<std::int64_t>(1, (4 << 20) / p.width));
    bandRows = std::clamp(std::min(bandRows, fit), 1, p.height);
    try {
        BandRenderer bands(p, bandRows);
        if (progress != nullptr) {
            progress->setRange(0, p.height);
            progress->setPos(0);
            progress->setStep(bandRows);
        }
        std::int32_t next = 0;  // the first row not yet rendered
        const auto rows = [&](std::int32_t row) -> const std::uint8_t* {
            if (row >= next) {
                bands.render(row, bandRows);
                next = row + bandRows;
                if (progress != nullptr && row > 0) progress->stepIt();
            }
            return bands.row(row);
        };
        return writeIndexedPng(path, p.width, p.height, contents.palette, serializeContents(contents), rows, cause);
    } catch (const std::bad_alloc&) {
        cause = std::make_error_code(std::errc::not_enough_memory);
        return PngWriteResult::CreateFailed;
    }
}

}  // namespace velmora
