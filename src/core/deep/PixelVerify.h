#pragma once
// A rendered picture checked against the plain MPFR loop on a bounded number
// of its pixels. Wrong pixels gather where two counts meet, so those are
// checked first; the rest are spread over the picture. Each checked pixel
// costs two runs of the plain loop (at the location's precision and at more
// bits), so the check's time is bounded by the pixel count asked for.
#include <cstdint>
#include <functional>
#include <vector>

#include "deep/DeepLocation.h"
#include "location/FractalParams.h"

namespace velmora {

struct PixelSample {
    std::int32_t i = 0;
    std::int32_t j = 0;      // from the top row
    std::uint8_t shown = 0;  // the picture's count there
    friend bool operator==(const PixelSample&, const PixelSample&) = default;
};

// Chooses the pixels to check from the picture's rows, which are handed in
// one at a time and need not be kept: at most `count` and at most
// width x height pixels, each once; every count border among the rows given
// (a pixel with a 4-neighbour of another count; above and below only where
// those rows are given with it), or an even spread of them when there are
// more; then pixels of a spread pattern over the whole picture.
class PixelSamplePicker {
public:
    PixelSamplePicker(std::int64_t count, std::int32_t width, std::int32_t height);

    std::int64_t count() const { return m_count; }
    // The rows the spread pattern visits, top to bottom: each must be given.
    std::vector<std::int32_t> rowsNeeded() const;
    // Row j, given once; above and below are its neighbours or nullptr.
    void addRow(std::int32_t j, const std::uint8_t* row, const std::uint8_t* above, const std::uint8_t* below);
    // The pixels to check, borders first.
    std::vector<PixelSample> samples() const;

private:
    std::int64_t m_count;
    std::int32_t m_width;
    std::int32_t m_height;
    std::vector<PixelSample> m_spread;   // by row, distinct; counts filled in by addRow
    std::vector<PixelSample> m_borders;  // every m_stride-th border found
    std::int64_t m_stride = 1;
    std::int64_t m_bordersSeen = 0;
};

struct VerifyResult {
    std::int64_t checked = 0;
    std::int64_t differing = 0;   // the loop's count, the same at both precisions, is not the picture's
    std::int64_t unresolved = 0;  // the loop's count moves with more bits: no verdict
};

// A pixel's count by the plain loop; plainMpfrPixel, or another in tests.
using PixelLoop = std::function<std::uint8_t(const DeepLocation&, std::int64_t, std::int64_t)>;

// Each sample against the loop on the location at its own precision and at
// precision + max(64, precision / 2) bits.
VerifyResult verifyPixels(const FractalParams& params, const std::vector<PixelSample>& samples,
                          const PixelLoop& loop);

}  // namespace velmora
