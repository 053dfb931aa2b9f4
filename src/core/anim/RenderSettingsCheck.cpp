#include "anim/RenderSettingsCheck.h"

#include <filesystem>

#include "anim/AnimMessages.h"
#include "anim/PlaybackScript.h"
#include "model/Document.h"
#include "platform/FramesFolder.h"

namespace velmora {
namespace {

bool refuse(Host& host, const std::string& text, MsgIcon icon, MsgButtons buttons = MsgButtons::Ok) {
    host.showMessage(windowMessage(text, icon, kRenderSettingsName, buttons));
    return false;
}

std::string tooLongText(std::size_t max) {
    return "The folder name is too long for the playback script.\nThe full path of the folder may have at most " +
           std::to_string(max) + " characters.";
}

// The folder as the render will use it: absolute, against the working
// directory of the moment it was accepted, and ending with the separator.
// An empty name stays empty: it names no folder.
std::string absolute(const std::string& typed) {
    if (typed.empty()) return typed;
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(typed, ec);
    std::string folder = ec ? typed : p.string();
    if (folder.back() != pathSeparator()) folder += pathSeparator();
    return folder;
}

}  // namespace

RenderSettings proposedRenderSettings(const Document& doc) {
    RenderSettings s;
    s.destFolder = doc.animation().destFolder;
    s.width = doc.animation().width;
    s.height = doc.animation().height;
    s.tweenStyle =
        doc.animation().tweenStyle == TweenStyle::SlowAtKeyframes ? TweenStyle::SlowAtKeyframes : TweenStyle::ConstantSpeed;
    s.from = 1;
    s.to = doc.totalFrames();
    s.smooth = doc.animation().smooth;
    return s;
}

std::optional<SettingsProblem> checkRenderSettingsFields(const RenderSettings& s, std::int32_t totalFrames) {
    if (s.width < 1) return SettingsProblem{animtext::kWidthTooSmall, MsgIcon::Information};
    if (s.from < 1) return SettingsProblem{animtext::kFromTooSmall, MsgIcon::None};
    if (s.to < 1) return SettingsProblem{animtext::kToTooSmall, MsgIcon::None};
    if (s.from > s.to) return SettingsProblem{animtext::kToBeforeFrom, MsgIcon::None};
    if (s.to > totalFrames) {
        return SettingsProblem{animtext::kToBeyondEnd + std::to_string(totalFrames) + ".", MsgIcon::None};
    }
    if (s.height < 1) return SettingsProblem{animtext::kHeightTooSmall, MsgIcon::Information};
    return std::nullopt;
}

std::size_t maxFramesFolderLength(std::int32_t totalFrames) {
    // The longest line names the highest frame: "frame" + digits + ".bmp" + line feed.
    const std::size_t tail = framePath("", totalFrames > 0 ? totalFrames : 1).size() + 1;
    return kMaxScriptLine - tail;
}

bool acceptRenderSettings(RenderSettings& s, std::int32_t totalFrames, Host& host, FolderQuestions questions) {
    if (const auto problem = checkRenderSettingsFields(s, totalFrames)) {
        return refuse(host, problem->text, problem->icon);
    }
    // Refused before any frame is rendered: the script could not be written after them.
    if (totalFrames > kMaxScriptFrames) return refuse(host, tooManyFramesText(totalFrames), MsgIcon::Information);
    if (!folderFitsScriptLines(s.destFolder)) return refuse(host, animtext::kFolderLineBreak, MsgIcon::Information);
    const std::string folder = absolute(s.destFolder);
    const std::size_t max = maxFramesFolderLength(totalFrames);
    if (folder.size() > max) return refuse(host, tooLongText(max), MsgIcon::Information);

    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_directory(folder, ec)) {
        if (questions == FolderQuestions::Ask &&
            host.showMessage(windowMessage(animtext::kFolderExists, MsgIcon::Question, kRenderSettingsName,
                                           MsgButtons::YesNo)) != MsgAnswer::Yes) {
            return false;
        }
    } else {
        if (questions == FolderQuestions::Ask &&
            host.showMessage(windowMessage(animtext::kFolderWillBeCreated, MsgIcon::Information,
                                           kRenderSettingsName, MsgButtons::OkCancel)) != MsgAnswer::Ok) {
            return false;
        }
        // One level only: a missing parent is not made.
        if (!folder.empty()) std::filesystem::create_directory(folder, ec);
        if (folder.empty() || ec || !std::filesystem::is_directory(folder, ec)) {
            return refuse(host, animtext::kFolderNotCreated, MsgIcon::Error);
        }
    }
    s.destFolder = folder;
    return true;
}

}  // namespace velmora
