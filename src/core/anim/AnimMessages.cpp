#include "anim/AnimMessages.h"

namespace velmora {

std::string CouldNotSaveFrameText(long long frame) {
    return "Could not save frame " + std::to_string(frame) + ".\n" + animtext::kAborted;
}

Message WindowMessage(const std::string& text, MsgIcon icon, const char* ownerName, MsgButtons buttons) {
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
