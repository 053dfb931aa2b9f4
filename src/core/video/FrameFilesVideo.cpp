#include "video/FrameFilesVideo.h"

#include "anim/FrameFile.h"
#include "video/VideoEncoder.h"

namespace velmora {

bool encodeFrameFiles(const std::vector<std::string>& paths, const VideoOptions& options, std::string& error,
                      const std::function<bool(std::size_t)>& progress) {
    if (paths.empty()) {
        error = "There are no frames to put in a video.";
        return false;
    }
    if (!containerForPath(options.path)) {
        error = unknownVideoExtensionText(options.path);
        return false;
    }
    VideoEncoder encoder;
    FrameFile frame;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const FrameFileCheck check = readFrameFile(paths[i], frame);
        if (check != FrameFileCheck::Complete) {
            error = "The frame file '" + paths[i] + "' is " + frameFileCheckText(check) + ".";
            return false;
        }
        if (i == 0 && !encoder.open(options, frame.width, frame.height, error)) return false;
        if (!encoder.addFrame(frame.picture(), error)) return false;
        if (progress && !progress(i + 1)) {
            error = "Saving the video was cancelled.";
            return false;
        }
    }
    return encoder.finish(error);
}

}  // namespace velmora
