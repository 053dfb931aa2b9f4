#pragma once
// A video from frame files already on disk (the frames of the last render),
// in the order given.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "video/VideoOptions.h"

namespace velmora {

// The most pixels a true-colour frame file may claim (a 16384 x 16384 frame).
inline constexpr std::int64_t kMaxFramePixels = std::int64_t{1} << 28;

// Every file must be a complete frame of the first one's size (8-bit BMP
// files, or true-colour PNG files, frameN.png, of a smooth render); the first
// that is not stops the encoding with its name in the message, and no video
// is left. `progress` hears the number of frames done and may return false
// to stop.
bool encodeFrameFiles(const std::vector<std::string>& paths, const VideoOptions& options, std::string& error,
                      const std::function<bool(std::size_t)>& progress = {});

}  // namespace velmora
