#include "anim/PlayerLaunch.h"

#include "anim/AnimMessages.h"
#include "anim/PlaybackScript.h"

namespace velmora {

std::string PlayerProgramName() {
#ifdef _WIN32
    return "ZEDoz.exe";
#else
    return "ZEDoz";
#endif
}

std::string PlayerErrorText() { return "Error loading " + PlayerProgramName() + ".\n You should reinstall Velmora."; }

bool LaunchPlayer(Host& host, const std::string& folder, const char* ownerName) {
    if (host.StartPlayer(ScriptPath(folder), folder)) return true;
    host.ShowMessage(WindowMessage(PlayerErrorText(), MsgIcon::Error, ownerName));
    return false;
}

}  // namespace velmora
