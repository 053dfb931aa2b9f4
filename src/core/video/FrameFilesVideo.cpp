#include "video/FrameFilesVideo.h"

#include "anim/FrameFile.h"
#include "export/PngFrameRead.h"
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
    std::vector<std::uint8_t> trueColour;
    std::int32_t width = 0, height = 0;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].ends_with(".png")) {
            // Smooth frames: true colour, every one of the first one's size.
            const bool read = i == 0 ? readTrueColourFrame(paths[i], width, height, trueColour, kMaxFramePixels)
                                     : readTrueColourFrame(paths[i], width, height, trueColour);
            if (!read) {
                error = "The frame file '" + paths[i] + "' is not a complete true-colour frame of the video's size.";
                return false;
            }
            if (i == 0 && !encoder.open(options, width, height, error)) return false;
            if (!encoder.addFrame(trueColour.data(), static_cast<std::size_t>(width) * 4, error)) return false;
        } else {
            const FrameFileCheck check = readFrameFile(paths[i], frame);
            if (check != FrameFileCheck::Complete) {
                error = "The frame file '" + paths[i] + "' is " + frameFileCheckText(check) + ".";
                return false;
            }
            if (i == 0 && !encoder.open(options, frame.width, frame.height, error)) return false;
            if (!encoder.addFrame(frame.picture(), error)) return false;
        }
        if (progress && !progress(i + 1)) {
            error = "Saving the video was cancelled.";
            return false;
        }
    }
    return encoder.finish(error);
}

}  // namespace velmora
