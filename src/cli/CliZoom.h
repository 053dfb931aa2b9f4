#pragma once
// velmora-cli zoom: a zoom video from a wide view down to a deep place in one
// command, made as an animation of keyframes at constant zoom speed.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "location/CentreWidth.h"
#include "video/VideoOptions.h"

namespace velmora::cli {

struct ZoomOptions {
    std::vector<std::string> positional;  // the video file
    std::optional<CentreWidth> target;    // --center and --width
    std::string fromWidth = "4";          // the first frame's width: the whole set
    double seconds = 10.0;
    int fps = kDefaultVideoFps;
    std::int32_t width = 640, height = 480;
    std::optional<std::int32_t> iterations, iterationsFrom;
    std::optional<std::string> palette, save, folder;
    bool resume = false;
    VideoQuality quality = VideoQuality::High;
    bool smooth = false;  // true-colour frames, smoothly coloured
    ColourChanges colour;
};

int runZoom(const ZoomOptions& o, std::ostream& out, std::ostream& err, bool progressToErr);

}  // namespace velmora::cli
