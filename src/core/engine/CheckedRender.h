#pragma once
// Rows from the double engine, each pixel with a bound on its own rounding;
// the few whose count the bound leaves in doubt are drawn again by the deep
// engine. The rest are the plain loop's pixels, bit for bit.
#include <atomic>
#include <cstdint>
#include <vector>

#include "render/EscapeTime.h"

namespace velmora {

class DeepRenderer;
struct FractalParams;

class CheckedRowRenderer final : public RowRenderer {
public:
    // `deep` is prepared for the whole picture of `params`.
    CheckedRowRenderer(RowRenderer& doubles, const DeepRenderer& deep, const FractalParams& params);

    void setImageOrigin(std::int32_t row, std::int32_t column) override {
        m_row0 = row;
        m_column0 = column;
    }
    void renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) override;

    // Pixels drawn again so far, and how many of them needed the deep engine.
    std::int64_t checkedPixels() const { return m_checked.load(std::memory_order_relaxed); }
    std::int64_t deepPixels() const { return m_deepPixels.load(std::memory_order_relaxed); }

private:
    // Pixels (is[k], js[k]) of the picture again: in double-double lanes, and
    // those still in doubt by the deep engine.
    void recheck(const RenderJob& job, const std::int32_t* is, const std::int32_t* js, std::int32_t count,
                 std::uint8_t* out, SmoothSample* smooth) const;

    RowRenderer& m_doubles;
    const DeepRenderer& m_deep;
    double m_doubtStart;
    double m_doubtStep;
    double m_ddStep;
    std::int32_t m_row0 = 0;
    std::int32_t m_column0 = 0;
    std::vector<std::uint8_t> m_doubt;
    std::atomic<std::int64_t> m_checked{0};
    mutable std::atomic<std::int64_t> m_deepPixels{0};
};

}  // namespace velmora
