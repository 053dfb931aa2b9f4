#pragma once
// Rows from the double engine, each pixel with a bound on its own rounding;
// the few whose count the bound leaves in doubt are drawn again, in
// double-double lanes and then, if still in doubt, by the deep engine. The
// rest are the plain loop's pixels, bit for bit.
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
};

}  // namespace velmora
