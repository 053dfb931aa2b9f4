#pragma once
// velmora-cli anim: renders a document's animation into its frames folder.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>

#include "CliOptions.h"
#include "location/FractalParams.h"
#include "video/VideoOptions.h"

namespace velmora::cli {

struct AnimOptions {
    std::optional<std::string> document;
    std::optional<std::int32_t> from, to, width, height;
    std::optional<TweenStyle> style;
    std::optional<std::string> folder;
    std::optional<std::string> palette;  // every keyframe's palette
    std::optional<std::string> video;
    int fps = kDefaultVideoFps;
    VideoQuality quality = VideoQuality::High;
    bool noFrames = false;
    bool resume = false;
    bool smooth = false;  // true-colour frames, smoothly coloured
    ColourChanges colour;
};

// Returns the exit code: 0 when every requested frame and the script were
// written, 1 with the message on stderr otherwise. The command line reads
// whole numbers only; whether the frame numbers and size make sense is left to
// the Render Settings checks, so the messages are the dialog's.
int runAnim(const AnimOptions& o, std::ostream& out, std::ostream& err, bool progressToErr);

}  // namespace velmora::cli
