#pragma once
// Command-line parsing for velmora-cli: strict numbers, one message per fault.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "location/CentreWidth.h"
#include "location/FractalParams.h"

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

struct Options {
    std::vector<std::string> positional;
    std::optional<std::string> output;
    Overrides overrides;
    std::optional<std::int32_t> supersample;  // render to PNG only: 1 to 8
    bool smooth = false;                      // render to PNG only
    std::optional<std::int32_t> verify;       // render: pixels to check with the MPFR loop
    bool help = false;
};

// Parses the arguments after the subcommand. `allowOutput` and
// `allowOverrides` say which options the subcommand takes. On a fault returns
// false with the message in `error`.
bool parseOptions(const std::vector<std::string>& args, bool allowOutput, bool allowOverrides,
                  Options& out, std::string& error);

// Whole-token number readers: no trailing characters, no range wrap, one sign
// at most, and only finite doubles.
bool parseDouble(const std::string& text, double& out);
bool parseInt32(const std::string& text, std::int32_t& out);

// Takes the value that follows option args[i], advancing i; false with the
// message when the option is last.
bool takeValue(const std::vector<std::string>& args, std::size_t& i, std::string& value, std::string& error);

// Splits "WxH" (or "WXH") into two whole numbers; no range check.
bool parseSize(const std::string& text, std::int32_t& width, std::int32_t& height);

// Sets the overridden fields of the parameters, the location with its exact
// values (the region from --center and --width at the picture's final size).
// False, with the message, when such a region leaves the range of doubles.
bool applyOverrides(const Overrides& o, FractalParams& params, std::string& error);

}  // namespace velmora::cli
