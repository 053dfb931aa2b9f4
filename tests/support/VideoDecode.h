#pragma once
// Reads a video file back with FFmpeg's libraries: the codec, the frame size
// and the luma plane of every frame, to compare with the frames it came from.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "video/FramePadding.h"

namespace velmora::test {

struct DecodedVideo {
    bool ok = false;
    std::string codec;
    std::string format;
    int width = 0;
    int height = 0;
    double fps = 0;
    std::vector<std::vector<std::uint8_t>> luma;  // width * height bytes per frame
};

inline DecodedVideo decodeVideo(const std::string& path) {
    DecodedVideo out;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return out;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    const AVCodec* decoder = nullptr;
    const int stream = avformat_find_stream_info(format, nullptr) >= 0
                           ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0)
                           : -1;
    if (stream >= 0 && (codec = avcodec_alloc_context3(decoder)) != nullptr &&
        avcodec_parameters_to_context(codec, format->streams[stream]->codecpar) >= 0 &&
        avcodec_open2(codec, decoder, nullptr) >= 0) {
        out.codec = avcodec_get_name(codec->codec_id);
        out.format = format->iformat->name;
        out.fps = av_q2d(format->streams[stream]->avg_frame_rate);
        out.ok = true;
        auto drain = [&] {
            while (avcodec_receive_frame(codec, frame) >= 0) {
                out.width = frame->width;
                out.height = frame->height;
                out.ok = out.ok && frame->format == AV_PIX_FMT_YUV420P;
                std::vector<std::uint8_t> plane(static_cast<std::size_t>(frame->width * frame->height));
                for (int y = 0; y < frame->height; ++y)
                    std::copy_n(frame->data[0] + y * frame->linesize[0], frame->width,
                                plane.begin() + y * frame->width);
                out.luma.push_back(std::move(plane));
            }
        };
        while (av_read_frame(format, packet) >= 0) {
            if (packet->stream_index == stream && avcodec_send_packet(codec, packet) >= 0) drain();
            av_packet_unref(packet);
        }
        avcodec_send_packet(codec, nullptr);
        drain();
    }
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return out;
}

// PSNR of a decoded luma plane (`planeWidth` wide) against a picture's luma
// by the BT.601 limited-range formula, over width x height; bgr(x, y) gives a
// pixel's blue, green, red.
template <class Bgr>
double lumaPsnrOf(const std::vector<std::uint8_t>& plane, int planeWidth, int width, int height, const Bgr& bgr) {
    double sum = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* c = bgr(x, y);
            const double luma = 16.0 + (65.481 * c[2] + 128.553 * c[1] + 24.966 * c[0]) / 255.0;
            sum += (plane[y * planeWidth + x] - luma) * (plane[y * planeWidth + x] - luma);
        }
    const double mse = sum / (width * height);
    return mse <= 1e-12 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

// The same against an 8-bit picture.
inline double lumaPsnr(const std::vector<std::uint8_t>& plane, int planeWidth, const IndexedPicture& p) {
    return lumaPsnrOf(plane, planeWidth, p.width, p.height, [&](int x, int y) {
        return p.colourTable + p.bottomUpRows[(p.height - 1 - y) * p.stride + x] * 4;
    });
}

}  // namespace velmora::test
