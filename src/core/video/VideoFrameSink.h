#pragma once
// Hands each frame of an animation render to a video encoder as it is made.
#include "anim/AnimRender.h"
#include "video/VideoEncoder.h"

namespace velmora {

class VideoFrameSink : public AnimFrameSink {
public:
    explicit VideoFrameSink(VideoEncoder& encoder) : m_encoder(encoder) {}
    bool frameReady(std::int64_t, const IndexedPicture& picture, std::string& error) override {
        return m_encoder.addFrame(picture, error);
    }
    bool trueColourFrameReady(std::int64_t, const std::uint8_t* pixels, std::size_t stride,
                              std::string& error) override {
        return m_encoder.addFrame(pixels, stride, error);
    }

private:
    VideoEncoder& m_encoder;
};

}  // namespace velmora
