#include "anim/AnimMessages.h"

#include "anim/PlaybackScript.h"

namespace velmora {

std::string couldNotSaveFrameText(long long frame) {
    return "Could not save frame " + std::to_string(frame) + ".\n" + animtext::kAborted;
}

std::string tooManyFramesText(long long frames) {
    return "This animation has " + std::to_string(frames) + " frames, more than the " +
           std::to_string(kMaxScriptFrames) +
           " a playback script may list.\nLower the transition counts of its keyframes.";
}

Message windowMessage(const std::string& text, MsgIcon icon, const char* ownerName, MsgButtons buttons) {
    Message m;
    m.text = text;
    m.caption = kAppTitle;
    m.icon = icon;
    m.buttons = buttons;
    m.owner = MsgOwner::Dialog;
    m.ownerName = ownerName;
    return m;
}

}  // namespace velmora
