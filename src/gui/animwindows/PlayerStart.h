#pragma once
// Starting the player from the animation windows.
#include <string>

namespace velmora {
class Host;
}  // namespace velmora

namespace velmora::gui {

// Starts the player on a script, detached, with the script's folder as its
// working directory. When it cannot be started the error is shown in a box
// owned by the named window, which stays open. True when it started.
bool launchPlayer(Host& host, const std::string& scriptPath, const char* ownerName);

}  // namespace velmora::gui
