#pragma once
// velmora-cli's option values: strict number readers, and the overrides laid
// over a document.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "location/CentreWidth.h"
#include "location/FractalParams.h"
#include "render/SmoothColour.h"

namespace velmora::cli {

// Values given on the command line that replace the document's own.
struct Overrides {
    std::optional<std::int32_t> width;
    std::optional<std::int32_t> height;
    std::optional<double> left, top, right, bottom;
    std::optional<std::int32_t> iterations;
    std::optional<FractalType> type;
    std::optional<double> cReal, cImag;
    // The region and constant as typed, every digit kept (the doubles above
    // are their nearest doubles).
    std::optional<std::array<std::string, 4>> regionText;
    std::optional<std::array<std::string, 2>> juliaText;
    // --center and --width, always given together, instead of --region.
    std::optional<CentreWidth> centre;
};

// Animation settings given on the command line (new and set).
struct AnimationChanges {
    std::optional<std::int32_t> width, height;
    std::optional<TweenStyle> style;
    std::optional<std::string> folder;
    std::optional<PlaybackStyle> playback;
};

// How smooth pictures spread the counts over the palette (new, set, render,
// anim and zoom).
struct ColourChanges {
    std::optional<double> density, offset;
    void applyTo(ColourSpread& spread) const {
        if (density) spread.density = *density;
        if (offset) spread.offset = *offset;
    }
};

struct Options {
    std::vector<std::string> positional;
    std::optional<std::string> palette;       // a palette file laid over the default palette
    std::optional<std::string> fromJson;      // new and render: the document from info's JSON text
    AnimationChanges animation;               // new and set
    std::optional<std::int32_t> transitions;  // keyframe add and set
    std::optional<std::int32_t> at;           // keyframe add: the index the new keyframe takes
    std::optional<std::string> output;
    Overrides overrides;
    std::optional<std::int32_t> supersample;  // render to PNG only: 1 to 8
    bool smooth = false;                      // render to PNG only
    ColourChanges colour;
    std::optional<std::int32_t> verify;       // render: pixels to check with the MPFR loop
};

// Whole-token number readers: no trailing characters, no range wrap, one sign
// at most, and only finite doubles.
bool parseDouble(const std::string& text, double& out);
bool parseInt32(const std::string& text, std::int32_t& out);

// Splits "a,b,c" into exactly n decimal numbers of any length, each within
// the range of doubles: their text and their nearest doubles.
bool parseDecimalList(const std::string& text, std::size_t n, std::vector<std::string>& texts,
                      std::vector<double>& out);

// Splits "WxH" (or "WXH") into two whole numbers; no range check.
bool parseSize(const std::string& text, std::int32_t& width, std::int32_t& height);

// Sets the overridden fields of the parameters, the location with its exact
// values (the region from --center and --width at the picture's final size).
// False, with the message, when such a region leaves the range of doubles.
bool applyOverrides(const Overrides& o, FractalParams& params, std::string& error);

}  // namespace velmora::cli
