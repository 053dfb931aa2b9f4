#pragma once
// A picture's sample coordinates exactly as the engine makes them: each pair of
// edges ordered, then stepped from the smaller by repeated addition. They are
// handed out a range at a time, so no picture holds them whole.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "location/FractalParams.h"

namespace velmora {

class CoordinateWalk {
public:
    CoordinateWalk(double low, double step) : m_low(low), m_step(step), m_value(low) {}
    // The x values of a picture's columns, and the y values of its image rows (row 0 the smallest).
    static CoordinateWalk columns(const FractalParams& params);
    static CoordinateWalk rows(const FractalParams& params);

    // Values [first, first + count) into `out`. Ranges asked in order cost one
    // addition a value; an earlier one walks again from the edge.
    void values(std::int64_t first, std::size_t count, std::vector<double>& out);
    double low() const { return m_low; }
    double step() const { return m_step; }

private:
    double m_low;
    double m_step;
    std::int64_t m_next = 0;  // the index m_value belongs to
    double m_value;
};

// The square of how far the walks' values may lie from the picture's exact
// points (low + k (high - low) / size, the edges read exactly), both axes
// together: where a pixel of the plain loop starts off its own point.
double walkErrorSquared(const FractalParams& params);

}  // namespace velmora
