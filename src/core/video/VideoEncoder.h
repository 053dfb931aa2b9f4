#pragma once
// Writes a video file frame by frame with FFmpeg's libraries (in a module
// loaded on first use, see VideoBackend.h): H.264 (else MPEG-4 Visual) in
// .mp4 and .mkv, VP9 (else VP8) in .webm, always 4:2:0.
// The file is built under a temporary name beside the target and renamed over
// it only when complete, so a failed or abandoned encoding leaves nothing
// broken at the path.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "video/FramePadding.h"
#include "video/VideoOptions.h"

namespace velmora {

class VideoEncoder {
public:
    VideoEncoder();
    ~VideoEncoder();  // an encoding not finished is abandoned: its temporary file goes
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    // Chooses the codec, makes the temporary file and writes the header for
    // frames of width x height (padded to even sides). False with the message.
    bool open(const VideoOptions& options, std::int32_t width, std::int32_t height, std::string& error);

    // One frame of the opened size: 32-bit blue, green, red, unused pixels,
    // top row first.
    bool addFrame(const std::uint8_t* pixels, std::size_t stride, std::string& error);
    bool addFrame(const IndexedPicture& picture, std::string& error);

    // Drains the encoder, writes the trailer, flushes the file to disk and
    // renames it to the target. False with the message; nothing is left then.
    bool finish(std::string& error);

    // The encoder chosen by the last open(), such as "libx264".
    std::string codecName() const;
    std::int64_t framesWritten() const;

    // Whether this build's libraries can write the container at all.
    static bool canWrite(VideoContainer container);

    struct State;

private:
    bool encodePadded(std::string& error);
    void abandon();

    std::unique_ptr<State> m_state;
    std::vector<std::uint8_t> m_padded;
    std::string m_codecName;
};

}  // namespace velmora
