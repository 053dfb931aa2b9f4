#pragma once
// Starting the animation player on a frames folder's script.
#include <string>

#include "platform/Host.h"

namespace velmora {

// The player's program name on this platform.
std::string PlayerProgramName();

// "Error loading <player>.\n You should reinstall Velmora."
std::string PlayerErrorText();

// Starts the player on folder + "script.aas" with the frames folder as its
// working directory, and does not wait for it. A failed start is reported with
// the error icon in a box owned by `ownerName`. True when it started.
bool LaunchPlayer(Host& host, const std::string& folder, const char* ownerName);

}  // namespace velmora
