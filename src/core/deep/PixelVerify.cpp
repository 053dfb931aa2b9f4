#include "deep/PixelVerify.h"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "deep/DeepRenderer.h"
#include "deep/PlainMpfrLoop.h"

namespace velmora {

PixelSamplePicker::PixelSamplePicker(std::int64_t count, std::int32_t width, std::int32_t height)
    : m_count(width < 1 || height < 1 ? 0
                                      : std::clamp<std::int64_t>(count, 0, static_cast<std::int64_t>(width) * height)),
      m_width(width),
      m_height(height) {
    // The pattern's rows never go back, and a row holds at most
    // ceil(count / height) <= width of them: a column already taken moves on
    // to the next free one in its row.
    m_spread.reserve(static_cast<std::size_t>(m_count));
    std::set<std::int32_t> taken;
    for (std::int64_t k = 0; k < m_count; ++k) {
        PixelSample s;
        samplePixel(k, m_count, width, height, s.i, s.j);
        if (!m_spread.empty() && m_spread.back().j != s.j) taken.clear();
        for (std::int32_t tries = 0; tries < width && taken.count(s.i) != 0; ++tries) s.i = (s.i + 1) % width;
        if (!taken.insert(s.i).second) continue;
        m_spread.push_back(s);
    }
}

std::vector<std::int32_t> PixelSamplePicker::rowsNeeded() const {
    std::vector<std::int32_t> rows;
    for (const PixelSample& s : m_spread)
        if (rows.empty() || rows.back() != s.j) rows.push_back(s.j);
    return rows;
}

void PixelSamplePicker::addRow(std::int32_t j, const std::uint8_t* row, const std::uint8_t* above,
                               const std::uint8_t* below) {
    if (m_count == 0) return;
    for (std::int32_t i = 0; i < m_width; ++i) {
        const std::uint8_t v = row[i];
        const bool border = (i > 0 && row[i - 1] != v) || (i + 1 < m_width && row[i + 1] != v) ||
                            (above != nullptr && above[i] != v) || (below != nullptr && below[i] != v);
        if (!border) continue;
        // Every stride-th border is kept; past twice the count every other
        // one kept is dropped and the stride doubles, so what is kept stays an
        // even spread of all found, in bounded memory.
        if (m_bordersSeen++ % m_stride != 0) continue;
        m_borders.push_back({i, j, v});
        if (static_cast<std::int64_t>(m_borders.size()) > 2 * m_count) {
            std::size_t kept = 0;
            for (std::size_t n = 0; n < m_borders.size(); n += 2) m_borders[kept++] = m_borders[n];
            m_borders.resize(kept);
            m_stride *= 2;
        }
    }
    const auto first = std::lower_bound(m_spread.begin(), m_spread.end(), j,
                                        [](const PixelSample& s, std::int32_t row) { return s.j < row; });
    for (auto s = first; s != m_spread.end() && s->j == j; ++s) s->shown = row[s->i];
}

std::vector<PixelSample> PixelSamplePicker::samples() const {
    std::vector<PixelSample> out;
    const auto found = static_cast<std::int64_t>(m_borders.size());
    if (found > m_count) {
        for (std::int64_t k = 0; k < m_count; ++k)
            out.push_back(m_borders[static_cast<std::size_t>(k * found / m_count)]);
    } else {
        out = m_borders;
    }
    std::unordered_set<std::int64_t> chosen;
    for (const PixelSample& s : out) chosen.insert(static_cast<std::int64_t>(s.j) * m_width + s.i);
    for (const PixelSample& s : m_spread) {
        if (static_cast<std::int64_t>(out.size()) >= m_count) break;
        if (chosen.insert(static_cast<std::int64_t>(s.j) * m_width + s.i).second) out.push_back(s);
    }
    return out;
}

VerifyResult verifyPixels(const FractalParams& params, const std::vector<PixelSample>& samples,
                          const PixelLoop& loop) {
    // At least the bits the deep engine settles on: its orbits may show the
    // place needs more than the spacing does (a Julia orbit close to 0).
    const DeepLocation location = settledLocation(params);
    const DeepLocation finer(params, location.precision() + std::max<mpfr_prec_t>(64, location.precision() / 2));
    VerifyResult result;
    for (const PixelSample& s : samples) {
        ++result.checked;
        const std::uint8_t count = loop(location, s.i, s.j);
        if (count != loop(finer, s.i, s.j)) {
            ++result.unresolved;
        } else if (count != s.shown) {
            ++result.differing;
        }
    }
    return result;
}

}  // namespace velmora
