#pragma once
// A location as its centre and width, the form users copy and share. The
// height follows the picture's aspect: h = w x pixelsHigh / pixelsWide; the
// edges are left = re - w/2, right = re + w/2, top = im - h/2 and
// bottom = im + h/2 (top the smaller imaginary part, as the top row shows).
#include <cstdint>
#include <optional>
#include <string>

#include "location/ExactLocation.h"
#include "location/FractalParams.h"

namespace velmora {

struct CentreWidth {
    std::string re;
    std::string im;
    std::string width;
};

enum class CentreWidthFault { None, Centre, Width, Range };

// The region's edges as exact text (the constant's fields left empty), kept to
// every digit the texts give where the region needs more than doubles. A
// fault for text that is not a decimal number, a width that is not positive,
// a picture size below 1, or an edge beyond the range of doubles.
CentreWidthFault edgesFromCentre(const CentreWidth& given, std::int32_t pixelsWide, std::int32_t pixelsHigh,
                                 ExactLocation& edges);

// The centre (of the stored edges) and the width right - left, as text exact
// enough to give the same edges back.
CentreWidth centreOf(const FractalParams& p);

}  // namespace velmora
