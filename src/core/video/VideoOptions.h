#pragma once
// What a video file is made of: the container chosen by the file name's
// extension, the frame rate and one of three quality steps.
#include <cstdint>
#include <optional>
#include <string>

namespace velmora {

enum class VideoContainer { Mp4, WebM, Matroska };
enum class VideoQuality { High, Medium, Small };

inline constexpr int kDefaultVideoFps = 25;
inline constexpr int kMinVideoFps = 1;
inline constexpr int kMaxVideoFps = 120;

struct VideoOptions {
    std::string path;
    int fps = kDefaultVideoFps;
    VideoQuality quality = VideoQuality::High;
};

// .mp4, .webm or .mkv, in any letter case; none for anything else.
std::optional<VideoContainer> containerForPath(const std::string& path);

// "high", "medium" or "small".
std::optional<VideoQuality> parseVideoQuality(const std::string& text);
const char* videoQualityName(VideoQuality quality);

// The message for a file name whose extension names no container.
std::string unknownVideoExtensionText(const std::string& path);

}  // namespace velmora
