// The video module: H.264 (else MPEG-4 Visual) in .mp4 and .mkv, VP9 (else
// VP8) in .webm, always 4:2:0, with FFmpeg's libraries, written to the
// descriptor the program gives it.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <new>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "video/VideoBackend.h"

namespace velmora {
namespace {

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// What failed, with the libraries' word for it when there is one.
std::string failed(const std::string& what, int code) {
    return what + (code != 0 ? " (" + avError(code) + ")" : std::string());
}

// The encoders in order of preference for a container.
std::vector<const char*> encoderNames(VideoContainer container) {
    if (container == VideoContainer::WebM) return {"libvpx-vp9", "libvpx"};
    return {"libx264", "mpeg4"};
}

const char* formatName(VideoContainer container) {
    switch (container) {
        case VideoContainer::Mp4: return "mp4";
        case VideoContainer::WebM: return "webm";
        case VideoContainer::Matroska: return "matroska";
    }
    return "mp4";
}

const AVCodec* findEncoder(VideoContainer container) {
    for (const char* name : encoderNames(container)) {
        if (const AVCodec* codec = avcodec_find_encoder_by_name(name)) return codec;
    }
    return nullptr;
}

// Quality steps per encoder: high keeps a fractal's fine detail, small is for
// sharing.
void setQuality(AVCodecContext* c, VideoQuality q) {
    const int step = q == VideoQuality::High ? 0 : q == VideoQuality::Medium ? 1 : 2;
    const std::string name = c->codec->name;
    if (name == "libx264") {
        static const char* crf[] = {"16", "22", "28"};
        av_opt_set(c->priv_data, "crf", crf[step], 0);
        av_opt_set(c->priv_data, "preset", "medium", 0);
    } else if (name == "libvpx-vp9") {
        static const char* crf[] = {"18", "31", "40"};
        c->bit_rate = 0;  // constant quality
        av_opt_set(c->priv_data, "crf", crf[step], 0);
        av_opt_set(c->priv_data, "deadline", "good", 0);
        av_opt_set(c->priv_data, "cpu-used", "4", 0);
        av_opt_set(c->priv_data, "row-mt", "1", 0);
    } else if (name == "libvpx") {
        static const char* crf[] = {"6", "16", "30"};
        static const int qmax[] = {20, 40, 56};
        // VP8 takes its quality as a cap under a bit rate that never binds.
        c->bit_rate = 50'000'000;
        c->qmin = 0;
        c->qmax = qmax[step];
        av_opt_set(c->priv_data, "crf", crf[step], 0);
        av_opt_set(c->priv_data, "deadline", "good", 0);
        av_opt_set(c->priv_data, "cpu-used", "4", 0);
    } else {
        static const int qscale[] = {2, 5, 10};
        c->flags |= AV_CODEC_FLAG_QSCALE;
        c->global_quality = FF_QP2LAMBDA * qscale[step];
    }
}

#if LIBAVFORMAT_VERSION_MAJOR >= 61
using IoBytes = const std::uint8_t*;
#else
using IoBytes = std::uint8_t*;
#endif

// The muxer writes through the program's own descriptor, so nothing reopens
// the file by name for writing.
int writeToFile(void* opaque, IoBytes data, int size) {
    const int fd = *static_cast<int*>(opaque);
    for (int done = 0; done < size;) {
        const ::ssize_t n = ::write(fd, data + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return AVERROR(n < 0 ? errno : EIO);
        done += static_cast<int>(n);
    }
    return size;
}

std::int64_t seekInFile(void* opaque, std::int64_t offset, int whence) {
    const int fd = *static_cast<int*>(opaque);
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? st.st_size : AVERROR(errno);
    }
    const ::off_t at = ::lseek(fd, static_cast<::off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

class FfmpegVideoBackend final : public VideoBackend {
public:
    ~FfmpegVideoBackend() override {
        sws_freeContext(m_sws);
        av_frame_free(&m_frame);
        av_packet_free(&m_packet);
        avcodec_free_context(&m_codec);
        avformat_free_context(m_format);  // custom I/O: the context below is ours to free
        if (m_io != nullptr) av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }

    std::string encoderFor(VideoContainer container) override {
        const AVCodec* codec = findEncoder(container);
        return codec != nullptr ? codec->name : "";
    }

    bool canWrite(VideoContainer container) override {
        return findEncoder(container) != nullptr && av_guess_format(formatName(container), nullptr, nullptr) != nullptr;
    }

    std::string open(VideoContainer container, int fd, const std::string& url, bool inPlace, std::int32_t width,
                     std::int32_t height, int fps, VideoQuality quality) override;
    std::string addFrame(const std::uint8_t* pixels) override;
    std::string finish() override;

private:
    int sendAndWrite(AVFrame* frame);

    int m_fd = -1;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVStream* m_stream = nullptr;
    SwsContext* m_sws = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    std::int64_t m_frames = 0;
};

std::string FfmpegVideoBackend::open(VideoContainer container, int fd, const std::string& url, bool inPlace,
                                     std::int32_t width, std::int32_t height, int fps, VideoQuality quality) {
    // The libraries' own chatter (encoder statistics) is not for our users.
    av_log_set_level(AV_LOG_ERROR);
    const AVCodec* codec = findEncoder(container);
    if (codec == nullptr) return failed("no encoder", 0);
    m_fd = fd;
    // The muxer's name for its file is the program's: the MP4 muxer reads it
    // back to move its index to the front.
    if (avformat_alloc_output_context2(&m_format, nullptr, formatName(container), url.c_str()) < 0 ||
        m_format == nullptr)
        return failed("the container cannot be made", 0);
    m_stream = avformat_new_stream(m_format, nullptr);
    m_codec = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (m_stream == nullptr || m_codec == nullptr || m_frame == nullptr || m_packet == nullptr)
        return failed("out of memory", 0);

    AVCodecContext* c = m_codec;
    c->width = width;
    c->height = height;
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, fps};
    c->framerate = AVRational{fps, 1};
    c->sample_aspect_ratio = AVRational{1, 1};
    // BT.601 limited range, which the conversion below produces; saying so lets
    // every player turn it back into the same colours.
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_SMPTE170M;
    c->color_primaries = AVCOL_PRI_SMPTE170M;
    c->color_trc = AVCOL_TRC_SMPTE170M;
    if (m_format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    setQuality(c, quality);

    int rc = avcodec_open2(c, codec, nullptr);
    if (rc < 0) return failed(std::string("the ") + codec->name + " encoder refused the frame size", rc);
    rc = avcodec_parameters_from_context(m_stream->codecpar, c);
    if (rc < 0) return failed("the stream cannot be described", rc);
    m_stream->time_base = c->time_base;
    m_stream->avg_frame_rate = c->framerate;
    m_stream->sample_aspect_ratio = c->sample_aspect_ratio;

    constexpr int kIoBufferBytes = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    m_io = buffer == nullptr ? nullptr
                             : avio_alloc_context(buffer, kIoBufferBytes, 1, &m_fd, nullptr, writeToFile, seekInFile);
    if (m_io == nullptr) {
        av_free(buffer);
        return failed("out of memory", 0);
    }
    m_io->seekable = ::lseek(fd, 0, SEEK_CUR) < 0 ? 0 : AVIO_SEEKABLE_NORMAL;
    m_format->pb = m_io;
    m_format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* muxerOptions = nullptr;
    // Players on the web start before the whole file has arrived; a device
    // written in place cannot be read back to move the index.
    if (container == VideoContainer::Mp4 && !inPlace) av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
    rc = avformat_write_header(m_format, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (rc < 0) return failed("the header cannot be written", rc);

    m_frame->format = c->pix_fmt;
    m_frame->width = c->width;
    m_frame->height = c->height;
    m_frame->color_range = c->color_range;
    m_frame->colorspace = c->colorspace;
    rc = av_frame_get_buffer(m_frame, 0);
    if (rc < 0) return failed("out of memory", rc);
    // Same size in and out: a colour conversion only, never a scaling.
    m_sws = sws_getContext(c->width, c->height, AV_PIX_FMT_BGR0, c->width, c->height, AV_PIX_FMT_YUV420P,
                           SWS_POINT, nullptr, nullptr, nullptr);
    if (m_sws == nullptr) return failed("the colour conversion cannot be set up", 0);
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(m_sws, coefficients, 1, coefficients, 0, 0, 1 << 16, 1 << 16);
    return {};
}

// Sends a frame (or the end, when frame is null) and writes every packet the
// encoder has ready.
int FfmpegVideoBackend::sendAndWrite(AVFrame* frame) {
    int rc = avcodec_send_frame(m_codec, frame);
    if (rc < 0) return rc;
    for (;;) {
        rc = avcodec_receive_packet(m_codec, m_packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return 0;
        if (rc < 0) return rc;
        av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
        m_packet->stream_index = m_stream->index;
        rc = av_interleaved_write_frame(m_format, m_packet);
        if (rc < 0) return rc;
        // A full disk shows in the output context before any call fails.
        if (m_format->pb != nullptr && m_format->pb->error < 0) return m_format->pb->error;
    }
}

std::string FfmpegVideoBackend::addFrame(const std::uint8_t* pixels) {
    int rc = av_frame_make_writable(m_frame);
    if (rc >= 0) {
        const std::uint8_t* src[1] = {pixels};
        const int srcStride[1] = {m_codec->width * 4};
        sws_scale(m_sws, src, srcStride, 0, m_codec->height, m_frame->data, m_frame->linesize);
        m_frame->pts = m_frames;
        rc = sendAndWrite(m_frame);
    }
    if (rc < 0) return avError(rc);
    ++m_frames;
    return {};
}

std::string FfmpegVideoBackend::finish() {
    int rc = sendAndWrite(nullptr);
    if (rc >= 0) rc = av_write_trailer(m_format);
    if (rc < 0) return avError(rc);
    avio_flush(m_io);
    if (m_io->error < 0) return avError(m_io->error);
    return {};
}

}  // namespace
}  // namespace velmora

extern "C" __attribute__((visibility("default"))) velmora::VideoBackend* velmoraMakeVideoBackend() {
    return new (std::nothrow) velmora::FfmpegVideoBackend;
}
