#pragma once
// What turns frames into a video's bytes: FFmpeg's libraries, in a module of
// their own that is loaded the first time a video is made. Linked into the
// programs, those libraries and the hundred more they need would be loaded
// at every start, which takes longer than rendering a small picture.
// The module knows nothing of files: it writes to a descriptor it is given.
#include <cstdint>
#include <string>

#include "video/VideoOptions.h"

namespace velmora {

class VideoBackend {
public:
    virtual ~VideoBackend() = default;

    // The encoder the libraries have for the container ("libx264", ...),
    // empty when there is none; and whether they can write the container.
    virtual std::string encoderFor(VideoContainer container) = 0;
    virtual bool canWrite(VideoContainer container) = 0;

    // Sets up the encoder and the muxer for frames of width x height (even
    // sides), writing to fd, which the muxer knows by the name url. Each call
    // answers with what failed, or empty when all went well.
    virtual std::string open(VideoContainer container, int fd, const std::string& url, bool inPlace,
                             std::int32_t width, std::int32_t height, int fps, VideoQuality quality) = 0;
    // One frame of 32-bit blue, green, red, unused pixels, width x 4 bytes a row.
    virtual std::string addFrame(const std::uint8_t* pixels) = 0;
    // Drains the encoder, writes the trailer and flushes the bytes to fd.
    virtual std::string finish() = 0;
};

// The module's one entry point: a new backend, which the caller owns.
using MakeVideoBackend = VideoBackend* (*)();
inline constexpr const char* kMakeVideoBackendSymbol = "velmoraMakeVideoBackend";
inline constexpr const char* kVideoModuleName = "libvelmora_video.so";

}  // namespace velmora
