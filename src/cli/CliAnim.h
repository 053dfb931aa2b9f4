#pragma once
// velmora-cli anim: renders a document's animation into its frames folder.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "location/FractalParams.h"
#include "video/VideoOptions.h"

namespace velmora::cli {

struct AnimOptions {
    std::optional<std::string> document;
    std::optional<std::int32_t> from, to, width, height;
    std::optional<TweenStyle> style;
    std::optional<std::string> folder;
    std::optional<std::string> video;
    int fps = kDefaultVideoFps;
    VideoQuality quality = VideoQuality::High;
    bool noFrames = false;
    bool resume = false;
    bool help = false;
};

// Reads the arguments after "anim": whole numbers only; whether the frame
// numbers and size make sense is left to the Render Settings checks. The video
// options are checked here. False with the message in `error`.
bool parseAnimOptions(const std::vector<std::string>& args, AnimOptions& o, std::string& error);

// args are those after "anim". Returns the exit code: 0 when every requested
// frame and the script were written, 1 with the message on stderr otherwise.
int runAnim(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool progressToErr);

// The command's usage text.
void animHelp(std::ostream& out);

}  // namespace velmora::cli
