#include "video/VideoOptions.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace velmora {

std::optional<VideoContainer> containerForPath(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".mp4") return VideoContainer::Mp4;
    if (ext == ".webm") return VideoContainer::WebM;
    if (ext == ".mkv") return VideoContainer::Matroska;
    return std::nullopt;
}

std::optional<VideoQuality> parseVideoQuality(const std::string& text) {
    if (text == "high") return VideoQuality::High;
    if (text == "medium") return VideoQuality::Medium;
    if (text == "small") return VideoQuality::Small;
    return std::nullopt;
}

const char* videoQualityName(VideoQuality quality) {
    switch (quality) {
        case VideoQuality::High: return "high";
        case VideoQuality::Medium: return "medium";
        case VideoQuality::Small: return "small";
    }
    return "high";
}

std::string unknownVideoExtensionText(const std::string& path) {
    return "Cannot tell the video format of '" + path + "': the name must end in .mp4, .webm or .mkv.";
}

}  // namespace velmora
