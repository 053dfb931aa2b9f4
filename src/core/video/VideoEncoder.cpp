#include "video/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <system_error>

#include <sys/stat.h>
#include <unistd.h>

#include "base/SafeReplace.h"
#include "base/SaveMessages.h"

namespace velmora {

struct VideoEncoder::State {
    SafeReplace file;  // destroyed last: an unfinished video's temporary file goes
    AVIOContext* io = nullptr;
    std::string shown;  // the name as given, for messages
    std::int32_t width = 0;
    std::int32_t height = 0;
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    SwsContext* sws = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    std::int64_t frames = 0;

    ~State() {
        sws_freeContext(sws);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        avformat_free_context(format);  // custom I/O: the context below is ours to free
        if (io != nullptr) av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

namespace {

std::string avError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
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

// The muxer writes through the safe replacement's own descriptor, so nothing
// reopens the temporary file by name for writing.
int writeToFile(void* opaque, IoBytes data, int size) {
    const int fd = static_cast<SafeReplace*>(opaque)->fd();
    for (int done = 0; done < size;) {
        const ::ssize_t n = ::write(fd, data + done, static_cast<std::size_t>(size - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return AVERROR(n < 0 ? errno : EIO);
        done += static_cast<int>(n);
    }
    return size;
}

std::int64_t seekInFile(void* opaque, std::int64_t offset, int whence) {
    const int fd = static_cast<SafeReplace*>(opaque)->fd();
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? st.st_size : AVERROR(errno);
    }
    const ::off_t at = ::lseek(fd, static_cast<::off_t>(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : at;
}

}  // namespace

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() { abandon(); }

void VideoEncoder::abandon() {
    if (!m_state) return;
    m_state.reset();
}

bool VideoEncoder::canWrite(VideoContainer container) {
    return findEncoder(container) != nullptr && av_guess_format(formatName(container), nullptr, nullptr) != nullptr;
}

std::string VideoEncoder::codecName() const { return m_codecName; }

std::int64_t VideoEncoder::framesWritten() const { return m_state ? m_state->frames : 0; }

bool VideoEncoder::open(const VideoOptions& options, std::int32_t width, std::int32_t height, std::string& error) {
    abandon();
    // The libraries' own chatter (encoder statistics) is not for our users.
    av_log_set_level(AV_LOG_ERROR);
    const auto container = containerForPath(options.path);
    if (!container) {
        error = unknownVideoExtensionText(options.path);
        return false;
    }
    if (options.fps < kMinVideoFps || options.fps > kMaxVideoFps) {
        error = "The frame rate must be from 1 to 120 frames per second.";
        return false;
    }
    if (width < 1 || height < 1 || width > 16384 || height > 16384) {
        error = "A video frame must be from 1 to 16384 pixels on each side.";
        return false;
    }
    const AVCodec* codec = findEncoder(*container);
    if (codec == nullptr) {
        error = std::string("This system's FFmpeg libraries have no encoder for ") +
                (*container == VideoContainer::WebM ? "VP9 or VP8" : "H.264 or MPEG-4") + " video.";
        return false;
    }

    m_codecName = codec->name;
    auto state = std::make_unique<State>();
    State& s = *state;
    s.shown = options.path;
    s.width = width;
    s.height = height;
    // Made before any frame is rendered: a target that cannot be written is
    // known at once.
    std::error_code ec;
    if (!s.file.begin(options.path, ec)) {
        error = saveFailureText(SavedFile::Video, WriteResult::CreateFailed, options.path, ec);
        return false;
    }
    const bool inPlace = s.file.tempPath().empty();  // a device or a FIFO
    m_state = std::move(state);

    auto fail = [&](const std::string& what, int code) {
        error = saveFailureText(SavedFile::Video, WriteResult::CreateFailed, options.path,
                                what + (code != 0 ? " (" + avError(code) + ")" : std::string()));
        abandon();
        return false;
    };

    // The muxer's name for its file is the temporary one: the MP4 muxer reads
    // it back to move its index to the front.
    const std::string& url = inPlace ? s.file.targetPath() : s.file.tempPath();
    if (avformat_alloc_output_context2(&s.format, nullptr, formatName(*container), url.c_str()) < 0 ||
        s.format == nullptr)
        return fail("the container cannot be made", 0);
    s.stream = avformat_new_stream(s.format, nullptr);
    s.codec = avcodec_alloc_context3(codec);
    s.frame = av_frame_alloc();
    s.packet = av_packet_alloc();
    if (s.stream == nullptr || s.codec == nullptr || s.frame == nullptr || s.packet == nullptr)
        return fail("out of memory", 0);

    AVCodecContext* c = s.codec;
    c->width = evenSide(width);
    c->height = evenSide(height);
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->time_base = AVRational{1, options.fps};
    c->framerate = AVRational{options.fps, 1};
    c->sample_aspect_ratio = AVRational{1, 1};
    // BT.601 limited range, which the conversion below produces; saying so lets
    // every player turn it back into the same colours.
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_SMPTE170M;
    c->color_primaries = AVCOL_PRI_SMPTE170M;
    c->color_trc = AVCOL_TRC_SMPTE170M;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    setQuality(c, options.quality);

    int rc = avcodec_open2(c, codec, nullptr);
    if (rc < 0) return fail(std::string("the ") + codec->name + " encoder refused the frame size", rc);
    rc = avcodec_parameters_from_context(s.stream->codecpar, c);
    if (rc < 0) return fail("the stream cannot be described", rc);
    s.stream->time_base = c->time_base;
    s.stream->avg_frame_rate = c->framerate;
    s.stream->sample_aspect_ratio = c->sample_aspect_ratio;

    constexpr int kIoBufferBytes = 1 << 16;
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    s.io = buffer == nullptr ? nullptr
                             : avio_alloc_context(buffer, kIoBufferBytes, 1, &s.file, nullptr, writeToFile, seekInFile);
    if (s.io == nullptr) {
        av_free(buffer);
        return fail("out of memory", 0);
    }
    s.io->seekable = ::lseek(s.file.fd(), 0, SEEK_CUR) < 0 ? 0 : AVIO_SEEKABLE_NORMAL;
    s.format->pb = s.io;
    s.format->flags |= AVFMT_FLAG_CUSTOM_IO;
    AVDictionary* muxerOptions = nullptr;
    // Players on the web start before the whole file has arrived; a device
    // written in place cannot be read back to move the index.
    if (*container == VideoContainer::Mp4 && !inPlace) av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
    rc = avformat_write_header(s.format, &muxerOptions);
    av_dict_free(&muxerOptions);
    if (rc < 0) return fail("the header cannot be written", rc);

    s.frame->format = c->pix_fmt;
    s.frame->width = c->width;
    s.frame->height = c->height;
    s.frame->color_range = c->color_range;
    s.frame->colorspace = c->colorspace;
    rc = av_frame_get_buffer(s.frame, 0);
    if (rc < 0) return fail("out of memory", rc);
    // Same size in and out: a colour conversion only, never a scaling.
    s.sws = sws_getContext(c->width, c->height, AV_PIX_FMT_BGR0, c->width, c->height, AV_PIX_FMT_YUV420P,
                           SWS_POINT, nullptr, nullptr, nullptr);
    if (s.sws == nullptr) return fail("the colour conversion cannot be set up", 0);
    const int* coefficients = sws_getCoefficients(SWS_CS_ITU601);
    sws_setColorspaceDetails(s.sws, coefficients, 1, coefficients, 0, 0, 1 << 16, 1 << 16);
    return true;
}

namespace {

// Sends a frame (or the end, when frame is null) and writes every packet the
// encoder has ready.
int sendAndWrite(VideoEncoder::State& s, AVFrame* frame) {
    int rc = avcodec_send_frame(s.codec, frame);
    if (rc < 0) return rc;
    for (;;) {
        rc = avcodec_receive_packet(s.codec, s.packet);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF) return 0;
        if (rc < 0) return rc;
        av_packet_rescale_ts(s.packet, s.codec->time_base, s.stream->time_base);
        s.packet->stream_index = s.stream->index;
        rc = av_interleaved_write_frame(s.format, s.packet);
        if (rc < 0) return rc;
        // A full disk shows in the output context before any call fails.
        if (s.format->pb != nullptr && s.format->pb->error < 0) return s.format->pb->error;
    }
}

}  // namespace

bool VideoEncoder::encodePadded(std::string& error) {
    State& s = *m_state;
    int rc = av_frame_make_writable(s.frame);
    if (rc >= 0) {
        const std::uint8_t* src[1] = {m_padded.data()};
        const int srcStride[1] = {s.codec->width * 4};
        sws_scale(s.sws, src, srcStride, 0, s.codec->height, s.frame->data, s.frame->linesize);
        s.frame->pts = s.frames;
        rc = sendAndWrite(s, s.frame);
    }
    if (rc < 0) {
        error = saveFailureText(SavedFile::Video, WriteResult::WriteFailed, s.shown, avError(rc));
        abandon();
        return false;
    }
    ++s.frames;
    return true;
}

bool VideoEncoder::addFrame(const std::uint8_t* pixels, std::size_t stride, std::string& error) {
    if (!m_state) {
        error = "No video file is open.";
        return false;
    }
    padToEven(pixels, stride, m_state->width, m_state->height, m_padded);
    return encodePadded(error);
}

bool VideoEncoder::addFrame(const IndexedPicture& picture, std::string& error) {
    if (!m_state) {
        error = "No video file is open.";
        return false;
    }
    if (picture.width != m_state->width || picture.height != m_state->height) {
        error = "A frame of " + std::to_string(picture.width) + " x " + std::to_string(picture.height) +
                " pixels does not match the video's " + std::to_string(m_state->width) + " x " +
                std::to_string(m_state->height) + ".";
        abandon();
        return false;
    }
    expandIndexed(picture, m_padded);
    return encodePadded(error);
}

bool VideoEncoder::finish(std::string& error) {
    if (!m_state) {
        error = "No video file is open.";
        return false;
    }
    State& s = *m_state;
    auto fail = [&](const std::string& why) {
        error = saveFailureText(SavedFile::Video, WriteResult::WriteFailed, s.shown, why);
        abandon();
        return false;
    };
    if (s.frames == 0) return fail("there are no frames to write");
    int rc = sendAndWrite(s, nullptr);
    if (rc < 0) return fail(avError(rc));
    rc = av_write_trailer(s.format);
    if (rc < 0) return fail(avError(rc));
    avio_flush(s.io);
    if (s.io->error < 0) return fail(avError(s.io->error));
    std::error_code ec;
    if (!s.file.commit(ec)) return fail(ec.message());
    m_state.reset();
    return true;
}

}  // namespace velmora
