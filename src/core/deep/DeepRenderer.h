#pragma once
// Rows of a picture past the reach of doubles: prepare() computes the
// reference orbits for a location, then renderRows() fills rows through the
// program's thread pool, one perturbed pixel at a time.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "deep/DeepLocation.h"
#include "deep/DoubleDoubleLanes.h"
#include "deep/Perturbation.h"
#include "deep/PerturbationLanes.h"
#include "deep/ReferenceOrbit.h"
#include "location/FractalParams.h"
#include "render/EscapeTime.h"
#include "render/SmoothEscape.h"

namespace velmora {

class DeepRenderer final : public RowRenderer {
public:
    enum class Prepared { Ready, Cancelled, NoMemory };

    // The whole picture's location (size included); `cancelled` is asked now
    // and then while the orbits are computed. A Mandelbrot reference kept
    // from an earlier render is taken instead of a new one when it lies in the
    // picture and has the bits the picture needs (its orbit carried on to a
    // higher limit).
    Prepared prepare(const FractalParams& params, const std::function<bool()>& cancelled,
                     std::shared_ptr<const KeptReference> kept = {});
    // The Mandelbrot reference this render used, to offer to the next one.
    std::shared_ptr<const KeptReference> keptReference() const { return m_kept; }
    // Whether prepare() took the reference it was offered.
    bool reusedReference() const { return m_reused; }

    // Image row and column of the job's row 0 and column 0, for jobs that
    // hold a tile of the picture.
    void setImageOrigin(std::int32_t row, std::int32_t column) override {
        m_firstRow = row;
        m_firstColumn = column;
    }

    // Only the job's size, buffer and cancel flag are used: the sample
    // coordinates come from the location.
    void renderRows(const RenderJob& job, std::int32_t firstRow, std::int32_t endRow) override;

    const DeepLocation* location() const { return m_location.get(); }
    // One pixel, j from the top row; for checks.
    std::uint8_t pixel(std::int32_t i, std::int32_t j) const;
    // Pixels [begin, end) of image row j into out[begin..end), in vector lanes
    // when the machine and the depth allow; `cancel` may stop it early.
    // With smooth, each pixel's full count and fraction into smooth[begin..end)
    // too, from the same orbits: the counts are the indexed pixels' own.
    void span(std::int32_t j, std::int32_t begin, std::int32_t end, std::uint8_t* out,
              const std::atomic<bool>* cancel, SmoothSample* smooth = nullptr) const;
    // Any pixels (i[k], j[k]), k < count, into out[k] (and their smooth
    // samples into smooth[k] when given), in vector lanes when the machine
    // and the depth allow; on the calling thread.
    void pixels(const std::int32_t* i, const std::int32_t* j, std::int32_t count, std::uint8_t* out,
                SmoothSample* smooth = nullptr) const;
    // Turns the vector lanes off (for comparing them with single pixels).
    void setLanes(bool allowed) {
        m_lanesAllowed = allowed;
        if (m_axis) m_axis->setLanes(allowed);
    }
    // Lanes per vector, 8 or 4, at most the machine's (for comparing widths).
    void setLaneWidth(int width) {
        if (width <= widestPerturbationLanes()) m_lanes.width = width;
        if (m_axis) m_axis->setLaneWidth(width);
    }
    // The image row that lies on the real axis (or within a hair of it) and
    // is followed on a reference of its own; -1 when there is none.
    std::int32_t axisRow() const { return m_axis || m_axisInside ? m_axisRow : -1; }
    // Turns skipping by bilinear approximation off (for comparisons).
    void setSkipping(bool allowed);
    // Pixels that needed the plain full-precision loop since prepare().
    std::int64_t exactPixels() const { return m_exactPixels.load() + (m_axis ? m_axis->exactPixels() : 0); }
    // Pixels whose rounding in doubles left them in doubt, drawn again.
    std::int64_t redrawnPixels() const { return m_redrawnPixels.load() + (m_axis ? m_axis->redrawnPixels() : 0); }

private:
    // Reference at (middle column, row), on the real axis itself when
    // onAxis, the row's offset from the axis then taken exactly.
    Prepared prepareAt(const FractalParams& params, const std::function<bool()>& cancelled, std::int32_t row,
                       bool onAxis);
    // The reference orbits at the location's precision, from (middle column, row).
    OrbitOutcome computeOrbits(std::int32_t row, bool onAxis, const std::function<bool()>& cancelled);
    ExtFloat offsetRe(std::int32_t i) const;
    ExtFloat offsetIm(std::int32_t j) const;
    // Takes a kept reference for this location when it serves, carrying its
    // orbit on when this limit is higher.
    bool takeKept(std::shared_ptr<const KeptReference> kept, const std::function<bool()>& cancelled);
    void pixelsOffAxis(const std::int32_t* i, const std::int32_t* j, std::int32_t count, std::uint8_t* out,
                       SmoothSample* smooth) const;
    bool lanesPay() const;
    // Runs pixels (i0 + k, j0), or (is[k], js[k]) when given, up to where plain
    // steps begin; decided ones go to out[k] (doubt[k] set where in doubt,
    // cleared elsewhere), the rest to starts. Returns how many wait.
    std::int32_t startPixels(std::int32_t i0, std::int32_t j0, std::int32_t count, const std::int32_t* is,
                             std::uint8_t* out, std::uint8_t* doubt, LaneStart* starts,
                             const std::int32_t* js = nullptr, LaneEscape* escapes = nullptr) const;
    // A waiting pixel's state as the lanes take it; k: where its count goes.
    LaneStart laneStart(const PixelHandOver& h, std::int32_t k) const;
    // A pixel whose rounding in doubles left its count in doubt: again in
    // double-double numbers, and by the plain full-precision loop if need be.
    PixelCount exactPixel(std::int32_t i, std::int32_t j) const;
    // exactPixel's parts: the pixel's offset from the reference in
    // double-double numbers (or inside the set, or too small for them), and
    // the full-precision loop.
    enum class Offset { Inside, Fits, BelowDoubles };
    Offset exactOffset(std::int32_t i, std::int32_t j, DdOffset& offset) const;
    PixelCount fullPrecisionPixel(std::int32_t i, std::int32_t j) const;
    // The pixel's count, its doubts settled.
    PixelCount settledPixel(std::int32_t i, std::int32_t j) const;
    // The smooth sample of pixel (i, j) that escaped as `count` says.
    SmoothSample smoothSample(std::int32_t i, std::int32_t j, std::int32_t count, double zr, double zi) const;
    // Pixels (i0 + k, j0), or (is[k], js[k]), whose doubt[k] is set, again by
    // exactPixel into out[k].
    void settleDoubts(const std::int32_t* is, const std::int32_t* js, std::int32_t i0, std::int32_t j0,
                      std::int32_t count, const std::uint8_t* doubt, std::uint8_t* out,
                      const std::atomic<bool>* cancel, LaneEscape* escapes = nullptr) const;

    std::unique_ptr<DeepLocation> m_location;
    std::shared_ptr<const ReferenceOrbit> m_primary = std::make_shared<ReferenceOrbit>();
    ReferenceOrbit m_rebase;  // Julia only: the orbit of 0
    BlaTable m_primaryBla, m_rebaseBla;
    PerturbationOrbits m_orbits;
    std::vector<double> m_laneRe, m_laneIm, m_laneExcess;  // Julia: both orbits in one array, padded
    LaneOrbits m_lanes;
    bool m_lanesUsable = false;
    bool m_lanesAllowed = true;
    // The reference point: the pixel (m_refI, m_refJ) less (m_shiftRe, m_shiftIm),
    // which are zero unless the reference was kept from another picture.
    std::int32_t m_refI = 0;
    std::int32_t m_refJ = 0;
    ExtFloat m_shiftRe, m_shiftIm;
    // Offsets along a row in plain doubles, where they equal the wide ones.
    bool m_quickOffsets = false;
    double m_spacingRe = 0.0, m_shiftReValue = 0.0;
    std::shared_ptr<const KeptReference> m_kept;
    bool m_reused = false;
    // The reference point and the Julia constant in doubles: the added
    // constant of a pixel's last steps, when only its colour depends on them.
    double m_refRe = 0.0, m_refIm = 0.0, m_juliaRe = 0.0, m_juliaIm = 0.0;
    std::int32_t m_firstRow = 0;
    std::int32_t m_firstColumn = 0;
    // Orbits that start on the real axis stay on it, in the plain loop exactly:
    // the row there is drawn from a reference on the axis, so rounding in the
    // offsets cannot push it off and let the orbits' chaos carry it away.
    std::unique_ptr<DeepRenderer> m_axis;
    std::int32_t m_axisRow = -1;
    bool m_axisInside = false;  // the axis row lies inside the set: all of it 0
    bool m_onAxis = false;
    ExtFloat m_axisOffset;  // the reference row's imaginary part, when onAxis
    mutable std::atomic<std::int64_t> m_exactPixels{0};
    mutable std::atomic<std::int64_t> m_redrawnPixels{0};
};

// The location as the deep engine settles on it: at the bits its orbits
// showed it needs (more than the spacing asks where a Julia orbit passes
// close to 0), for checks by the plain loop at the same precision.
DeepLocation settledLocation(const FractalParams& params);

}  // namespace velmora
