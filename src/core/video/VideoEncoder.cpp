#include "video/VideoEncoder.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <system_error>

#include "base/SafeReplace.h"
#include "base/SaveMessages.h"
#include "video/VideoBackend.h"

namespace velmora {

struct VideoEncoder::State {
    SafeReplace file;  // destroyed last: an unfinished video's temporary file goes
    std::unique_ptr<VideoBackend> backend;
    std::string shown;  // the name as given, for messages
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int64_t frames = 0;
};

namespace {

// The folder of the running program, with a slash.
std::string programFolder() {
    char path[PATH_MAX];
    const ::ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    const std::string self(path, static_cast<std::size_t>(n));
    return self.substr(0, self.rfind('/') + 1);
}

// The video module, loaded once: installed beside the programs' lib folder,
// else where this build made it. Null with the loader's reason.
MakeVideoBackend videoModule(std::string& why) {
    static std::string failure;
    static const MakeVideoBackend make = [] {
        for (const std::string& path :
             {programFolder() + "../lib/velmora/" + kVideoModuleName, std::string(VELMORA_VIDEO_MODULE_PATH)}) {
            void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (handle == nullptr) {
                if (const char* text = ::dlerror()) failure = text;
                continue;
            }
            if (auto* entry = reinterpret_cast<MakeVideoBackend>(::dlsym(handle, kMakeVideoBackendSymbol)))
                return entry;
            failure = path + " has no entry point";
        }
        return MakeVideoBackend{nullptr};
    }();
    why = failure;
    return make;
}

std::unique_ptr<VideoBackend> makeBackend(std::string& why) {
    const MakeVideoBackend make = videoModule(why);
    std::unique_ptr<VideoBackend> backend(make != nullptr ? make() : nullptr);
    if (make != nullptr && !backend) why = "out of memory";
    return backend;
}

}  // namespace

VideoEncoder::VideoEncoder() = default;

VideoEncoder::~VideoEncoder() { abandon(); }

void VideoEncoder::abandon() {
    if (!m_state) return;
    m_state.reset();
}

bool VideoEncoder::canWrite(VideoContainer container) {
    std::string why;
    const std::unique_ptr<VideoBackend> backend = makeBackend(why);
    return backend && backend->canWrite(container);
}

std::string VideoEncoder::codecName() const { return m_codecName; }

std::int64_t VideoEncoder::framesWritten() const { return m_state ? m_state->frames : 0; }

bool VideoEncoder::open(const VideoOptions& options, std::int32_t width, std::int32_t height, std::string& error) {
    abandon();
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
    std::string why;
    auto state = std::make_unique<State>();
    state->backend = makeBackend(why);
    if (!state->backend) {
        error = "This program's video module cannot be loaded (" + why + ").";
        return false;
    }
    const std::string encoder = state->backend->encoderFor(*container);
    if (encoder.empty()) {
        error = std::string("This system's FFmpeg libraries have no encoder for ") +
                (*container == VideoContainer::WebM ? "VP9 or VP8" : "H.264 or MPEG-4") + " video.";
        return false;
    }

    m_codecName = encoder;
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
    // The muxer's name for its file is the temporary one: the MP4 muxer reads
    // it back to move its index to the front.
    const std::string& url = inPlace ? s.file.targetPath() : s.file.tempPath();
    why = s.backend->open(*container, s.file.fd(), url, inPlace, evenSide(width), evenSide(height), options.fps,
                          options.quality);
    if (!why.empty()) {
        error = saveFailureText(SavedFile::Video, WriteResult::CreateFailed, options.path, why);
        abandon();
        return false;
    }
    return true;
}

bool VideoEncoder::encodePadded(std::string& error) {
    State& s = *m_state;
    const std::string why = s.backend->addFrame(m_padded.data());
    if (!why.empty()) {
        error = saveFailureText(SavedFile::Video, WriteResult::WriteFailed, s.shown, why);
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
    const std::string why = s.backend->finish();
    if (!why.empty()) return fail(why);
    std::error_code ec;
    if (!s.file.commit(ec)) return fail(ec.message());
    m_state.reset();
    return true;
}

}  // namespace velmora
