#pragma once
#include <string>

namespace velmora {

// The default folder for animation frames: <home>/anim/ with the platform's
// separator, absolute. Falls back to the current directory's anim/ when no
// home is known.
std::string defaultFramesFolder();

// The platform's folder separator as a character.
char pathSeparator();

}  // namespace velmora
