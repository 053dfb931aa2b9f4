#pragma once
// Headless palette conversion: what the editor's Load followed by its Save
// does, for tools and scripted checks.
#include <string>

#include "base/Host.h"
#include "palette/Palette.h"

namespace velmora {

// Starts from the default palette, loads `in` as the editor's Load does (the
// reader chosen by the last three characters of the path) and, when that
// showed no message, writes `out` as an .rgb file as Save does. On any
// failure the message has gone through the host and nothing is written.
bool convertPaletteFile(const std::string& in, const std::string& out, Host& host);

// The palette `in` gives when loaded over the default palette as the editor's
// Load does. False, with the message through the host, when it showed one.
bool loadPaletteFile(const std::string& in, Palette& out, Host& host);

}  // namespace velmora
