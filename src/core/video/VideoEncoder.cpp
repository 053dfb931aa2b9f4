#include "video/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>


#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora {
namespace fs = std::filesystem;

struct VideoEncoder::State {
    std::string target;
    std::string shown;  // the name as given, for messages
    std::string temp;
    int tempLock = -1;  // held open and locked while the video is built
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
        if (tempLock >= 0) ::close(tempLock);
        sws_freeContext(sws);
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&codec);
        if (format != nullptr) {
            if (format->pb != nullptr) avio_closep(&format->pb);
            avformat_free_context(format);
        }
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

std::string tempPrefix(const fs::path& target) { return "." + target.filename().string() + "."; }

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

// A video whose process was killed leaves its temporary file behind. One that
// nobody holds locked and nobody wrote for ten minutes is such a leftover.
void removeStaleTemps(const fs::path& target) {
    const std::string prefix = tempPrefix(target);
    std::error_code ec;
    for (fs::directory_iterator it(folderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!name.starts_with(prefix) || !name.ends_with(".part")) continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && std::time(nullptr) - st.st_mtime > 600 &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

// A new, empty file beside the target for the video to be built in, locked
// while it is; like any new file it gets 0666 less the umask.
bool makeTempFile(const std::string& target, std::string& temp, int& lock, std::string& error) {
    const fs::path path(target);
    removeStaleTemps(path);
    std::random_device random;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = (folderOf(path) / (tempPrefix(path) + std::to_string(random()) + ".part")).string();
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        error = "Cannot create the video file '" + target + "': " + std::generic_category().message(errno) + ".";
        temp.clear();
        return false;
    }
    ::flock(fd, LOCK_EX | LOCK_NB);
    lock = fd;
    return true;
}

// A file-size limit must fail the write, so that the temporary file is
// removed, instead of killing the program with it left behind. A handler the
// program installed itself is left alone.
void ignoreFileSizeSignal() {
    struct sigaction current {};
    if (::sigaction(SIGXFSZ, nullptr, &current) == 0 && (current.sa_flags & SA_SIGINFO) == 0 &&
        current.sa_handler == SIG_DFL)
        std::signal(SIGXFSZ, SIG_IGN);
}

bool syncFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

}  // namespace

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() { abandon(); }

void VideoEncoder::abandon() {
    if (!m_state) return;
    const std::string temp = m_state->temp;
    m_state.reset();
    if (!temp.empty()) ::unlink(temp.c_str());
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
    ignoreFileSizeSignal();
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
    // A file the user may not write stays unwritten, although the folder would
    // let the rename replace it.
    std::error_code ec;
    if (fs::exists(options.path, ec) && ::access(options.path.c_str(), W_OK) != 0) {
        error = "Cannot write the video file '" + options.path + "': " + std::generic_category().message(errno) + ".";
        return false;
    }
    auto state = std::make_unique<State>();
    State& s = *state;
    s.target = s.shown = options.path;
    // A link stays a link: the video replaces the file it leads to.
    if (fs::is_symlink(options.path, ec)) {
        const fs::path resolved = fs::weakly_canonical(options.path, ec);
        if (!ec) s.target = resolved.string();
    }
    s.width = width;
    s.height = height;
    if (!makeTempFile(s.target, s.temp, s.tempLock, error)) return false;
    m_state = std::move(state);

    auto fail = [&](const std::string& what, int code) {
        error = "Cannot write the video file '" + options.path + "': " + what +
                (code != 0 ? " (" + avError(code) + ")" : std::string()) + ".";
        abandon();
        return false;
    };

    if (avformat_alloc_output_context2(&s.format, nullptr, formatName(*container), s.temp.c_str()) < 0 ||
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

    rc = avio_open(&s.format->pb, s.temp.c_str(), AVIO_FLAG_WRITE);
    if (rc < 0) return fail("the file cannot be opened", rc);
    AVDictionary* muxerOptions = nullptr;
    // Players on the web start before the whole file has arrived.
    if (*container == VideoContainer::Mp4) av_dict_set(&muxerOptions, "movflags", "+faststart", 0);
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
        error = "Could not write the video file '" + s.shown + "': " + avError(rc) + ".";
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
        error = "Could not write the video file '" + s.shown + "': " + why + ".";
        abandon();
        return false;
    };
    if (s.frames == 0) return fail("there are no frames to write");
    int rc = sendAndWrite(s, nullptr);
    if (rc < 0) return fail(avError(rc));
    rc = av_write_trailer(s.format);
    if (rc < 0) return fail(avError(rc));
    rc = avio_closep(&s.format->pb);
    if (rc < 0) return fail(avError(rc));
    if (!syncFile(s.temp)) return fail(std::generic_category().message(errno));
    std::error_code ec;
    fs::rename(s.temp, s.target, ec);
    if (ec) return fail(ec.message());
    s.temp.clear();  // it is the target now
    m_state.reset();
    return true;
}

}  // namespace velmora
