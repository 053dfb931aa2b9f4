#pragma once
// A location's exact values as decimal text, kept beside the nearest doubles
// when the location holds more than doubles can. Empty means the doubles are
// the whole truth.
#include <string>

namespace velmora {

struct ExactLocation {
    // Region edges as stored (any order, as the doubles), and the Julia constant.
    std::string left;
    std::string top;
    std::string right;
    std::string bottom;
    std::string cReal;
    std::string cImag;

    bool empty() const { return left.empty(); }
    void clear() { *this = ExactLocation{}; }
    friend bool operator==(const ExactLocation&, const ExactLocation&) = default;
};

}  // namespace velmora
