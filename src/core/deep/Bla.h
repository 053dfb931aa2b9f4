#pragma once
// Bilinear approximation: over a stretch of the reference orbit where the
// pixel's difference dz stays small next to the orbit, the perturbed steps are
// linear to double precision, dz -> A dz + B dc, and many of them merge into
// one. A table of such stretches, lengths 2, 4, 8, ..., lets a pixel skip most
// of its iterations. Each stretch holds while |dz| < r.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "deep/ReferenceOrbit.h"

namespace velmora {

struct BlaStep {
    double ar, ai;  // A
    double br, bi;  // B
    double r2;      // the square of the radius of validity
};

class BlaTable {
public:
    // withOffset: the pixel's offset dc is added every step (Mandelbrot);
    // offsetMax bounds |dc| over the picture.
    void build(const ReferenceOrbit& orbit, bool withOffset, double offsetMax);
    bool empty() const { return m_levels.empty(); }

    // The longest stretch from index m that holds for |dz|^2 = dz2 and is at
    // most maxLength long; null when none does. `length` receives its length.
    const BlaStep* find(std::size_t m, double dz2, std::int64_t maxLength, std::int64_t& length) const {
        if (m == 0 || m_levels.empty()) return nullptr;
        int top = __builtin_ctzll(m);
        if (top >= static_cast<int>(m_levels.size())) top = static_cast<int>(m_levels.size()) - 1;
        // A longer stretch from m starts with the shorter one, so its radius is
        // no larger: climb while the next level still holds.
        const BlaStep* found = nullptr;
        for (int k = 1; k <= top; ++k) {
            const std::int64_t l = std::int64_t{1} << k;
            const std::vector<BlaStep>& level = m_levels[static_cast<std::size_t>(k)];
            const std::size_t j = m >> k;
            if (l > maxLength || j >= level.size() || !(dz2 < level[j].r2)) break;
            found = &level[j];
            length = l;
        }
        return found;
    }

    // The same, single steps included (any m below the orbit's last).
    const BlaStep* findWithSingle(std::size_t m, double dz2, std::int64_t maxLength, std::int64_t& length) const {
        if (m_levels.empty() || maxLength < 1 || m >= m_levels[0].size() || !(dz2 < m_levels[0][m].r2)) return nullptr;
        if (const BlaStep* longer = find(m, dz2, maxLength, length)) return longer;
        length = 1;
        return &m_levels[0][m];
    }

private:
    std::vector<std::vector<BlaStep>> m_levels;  // level k: stretches of 2^k from j 2^k
};

// The stretches every pixel of a Mandelbrot picture takes first. While the
// largest offset's difference stays within reach, each pixel's difference is
// the same multiple of its offset: dz = P dc at index m, for one complex
// multiply a pixel instead of its own climb up the table.
struct CommonSkip {
    std::size_t m = 1;  // the orbit index after it (z_{m-1} = Z_m + dz)
    double pr = 1.0, pi = 0.0;
    // The bound on the squared error of dz, over |dc|^2 (the largest
    // offset's share of what was left out, at most any smaller one's).
    double err2PerOffset2 = 0.0;
    double offsetMax2 = 0.0;  // the largest |dc|^2 it was made for
    std::int32_t steps() const { return static_cast<std::int32_t>(m - 1); }
};

// dcMax bounds |dc| over the picture; the skip ends short of `limit` and
// where any pixel could come near radius 2.
CommonSkip commonSkip(const BlaTable& table, const ReferenceOrbit& orbit, double dcMax, std::int32_t limit);

// How much smaller than the orbit dz must be for a step to count as linear.
inline constexpr double kBlaEpsilon = 0x1p-36;
// Stretches stay clear of reference values this close to radius 2 (far more
// than kBlaEpsilon of it, so no pixel in reach of a stretch can escape inside).
inline constexpr double kBlaEscapeMargin = 0x1p-24;
// Longest orbit given a table (memory: about 80 bytes per orbit value).
inline constexpr std::size_t kBlaMaxOrbit = std::size_t{1} << 20;

}  // namespace velmora
