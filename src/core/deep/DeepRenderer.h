#pragma once
// Rows of a picture past the reach of doubles: prepare() computes the
// reference orbits for a location, then renderRows() fills rows through the
// program's thread pool, one perturbed pixel at a time.
#include <cstdint>
#include <functional>
#include <memory>

#include "deep/DeepLocation.h"
#include "deep/Perturbation.h"
#include "deep/ReferenceOrbit.h"
#include "model/FractalParams.h"
#include "render/EscapeTime.h"

namespace velmora {

class DeepRenderer final : public RowRenderer {
public:
    enum class Prepared { Ready, Cancelled, NoMemory };

    // The whole picture's location (size included); `cancelled` is asked now
    // and then while the orbits are computed.
    Prepared prepare(const FractalParams& params, const std::function<bool()>& cancelled);

    // Image row of the job's row 0, for jobs that hold a band of the picture.
    void setFirstRow(std::int32_t row) { m_firstRow = row; }

    // Only the job's size, buffer and cancel flag are used: the sample
    // coordinates come from the location.
    void renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) override;

    const DeepLocation* location() const { return m_location.get(); }
    // One pixel, j from the top row; for checks.
    std::uint8_t pixel(std::int32_t i, std::int32_t j) const;

private:
    std::unique_ptr<DeepLocation> m_location;
    ReferenceOrbit m_primary;
    ReferenceOrbit m_rebase;  // Julia only: the orbit of 0
    PerturbationOrbits m_orbits;
    std::int32_t m_refI = 0;
    std::int32_t m_refJ = 0;
    std::int32_t m_firstRow = 0;
};

}  // namespace velmora
