#pragma once
// The render settings: what the dialog proposes, the checks its OK makes in
// their fixed order, and the acceptance of the frames folder. velmora-cli anim
// goes through the same checks.
#include <cstdint>
#include <optional>
#include <string>

#include "location/FractalParams.h"
#include "base/Host.h"

namespace velmora {

class Document;

struct RenderSettings {
    std::int32_t from = 1;
    std::int32_t to = 0;
    TweenStyle tweenStyle = TweenStyle::ConstantSpeed;
    std::string destFolder;
    std::int32_t width = 0;
    std::int32_t height = 0;
    // Resume: frame files already complete for these settings are kept.
    bool skipRendered = false;
    // Off when only a video is wanted: no frame files and no script.
    bool writeFiles = true;
    // True-colour frames, smoothly coloured by the document's colour spread:
    // PNG files, and true-colour video frames.
    bool smooth = false;
};

// The document's stored frame size, tweening style and folder with the whole
// animation as range. A stored style byte other than 1 proposes constant speed.
RenderSettings proposedRenderSettings(const Document& doc);

struct SettingsProblem {
    std::string text;
    MsgIcon icon = MsgIcon::None;
};

// The field checks in their order: width, start, end, start against end, end
// against the animation's last frame, height. The first failure, or none.
std::optional<SettingsProblem> checkRenderSettingsFields(const RenderSettings& s, std::int32_t totalFrames);

// The longest frames folder (with its final separator) whose script lines for
// an animation of `totalFrames` frames stay within 255 characters.
std::size_t maxFramesFolderLength(std::int32_t totalFrames);

// How an existing or missing folder is handled: the dialog asks before it goes
// on, the command line goes on (using an existing folder, creating a missing one).
enum class FolderQuestions { Ask, Proceed };

// The whole OK: the field checks, then an animation longer than a script may
// list, a folder name holding a line break, a folder too long for the script,
// and the folder itself. Shows the first failure through the host (in a box
// owned by the Render Settings dialog) and returns false, leaving `s` as typed. On success
// the folder has been made absolute (the working directory is never changed),
// ends with the separator and exists, and `s.destFolder` holds it.
bool acceptRenderSettings(RenderSettings& s, std::int32_t totalFrames, Host& host,
                          FolderQuestions questions = FolderQuestions::Ask);

}  // namespace velmora
