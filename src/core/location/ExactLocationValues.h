#pragma once
// Exact locations beside their doubles: when a location needs them, how they
// are read and set, and how many digits an edge keeps. Whatever sets a
// location through here keeps the rule that the doubles are the nearest
// doubles of the exact values, and that exact values exist only when they
// carry more than those doubles.
#include <cstddef>
#include <string>

#include "location/ExactLocation.h"
#include "location/Mpfr.h"
#include "location/FractalParams.h"

namespace velmora {

// No arithmetic on a location runs in more bits than this: about the digits a
// value may have, far past any depth a picture can be rendered at.
inline constexpr mpfr_prec_t kMaxLocationBits = 70000;

// An axis needs more than doubles when its extent is below 2^-40 of its
// larger edge (a few thousand pixels then lie within a handful of units in
// the last place) or is too small for doubles to space pixels at all. An
// axis of no extent is left to the doubles, as it always was.
bool axisNeedsExact(double low, double high);
bool axisNeedsExact(const Mpfr& low, const Mpfr& high);
bool regionNeedsExact(double left, double top, double right, double bottom);

// The six values as decimal text: the exact text where there is, else the
// shortest text of each double.
ExactLocation exactTextOf(const FractalParams& p);
ExactLocation exactTextOf(const Keyframe& k);

// Sets the six doubles to the nearest doubles of the values, and keeps the
// text only when some value carries more than its double. False, with nothing
// changed, when a value is not decimal text within the range of doubles.
bool assignExact(FractalParams& p, const ExactLocation& values);
bool assignExact(Keyframe& k, const ExactLocation& values);

// How many bits the larger edge of an axis lies above the axis's extent (0
// for an axis of no extent): what arithmetic on the axis must hold besides.
long axisSpanBits(const Mpfr& low, const Mpfr& high);

// Significant digits that keep an edge of an axis about 20 digits finer than
// the axis's extent (at least a double's 17).
std::size_t digitsToKeep(const Mpfr& low, const Mpfr& high);

// The two edges of a computed axis as text: kept to digitsToKeep (or
// minDigits, if more) when the axis needs it, else the shortest text of their
// nearest doubles.
void formatAxis(const Mpfr& low, const Mpfr& high, std::string& lowText, std::string& highText,
                std::size_t minDigits = 0);

// Bits that hold any number with digits from the place 10^highest down to
// 10^lowest well enough that printing it to those places gives its digits
// back exactly (at most kMaxLocationBits).
mpfr_prec_t bitsForPlaces(long highest, long lowest);

// Bits that read every value of the location (or its doubles) to below its
// last digit.
mpfr_prec_t bitsToRead(const ExactLocation& values);

}  // namespace velmora
