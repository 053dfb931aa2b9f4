#include "animwindows/PlayerStart.h"

#include <filesystem>

#include "anim/AnimMessages.h"
#include "base/Host.h"
#include "platform/PlayerLaunch.h"

namespace velmora::gui {

bool launchPlayer(Host& host, const std::string& scriptPath, const char* ownerName) {
    // The script names its frames with the folder's full path, but a player
    // may look for neighbouring files: it runs in the frames folder.
    const std::string folder = std::filesystem::path(scriptPath).parent_path().string();
    if (host.startPlayer(scriptPath, folder)) return true;
    host.showMessage(windowMessage(playerLoadErrorText(), MsgIcon::Error, ownerName));
    return false;
}

}  // namespace velmora::gui
