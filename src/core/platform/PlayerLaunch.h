#pragma once
// Which player program Velmora starts on a script, decided without a window:
// the program's own folder first, then the folders of PATH. The desktop side
// only starts the chosen file, detached, in the frames folder.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velmora {

// The player's file name on this platform: "ZEDoz", or "ZEDoz.exe" on Windows.
const char* playerProgramName();

// "Error loading ZEDoz.exe.\n You should reinstall Velmora." with this
// platform's program name.
std::string playerLoadErrorText();

// True when the path names a file this process may run.
using ExecutableCheck = std::function<bool(const std::string& path)>;
bool isExecutableFile(const std::string& path);

// The folders searched, in order: ownFolder, then each absolute entry of
// pathVariable. Empty and relative PATH entries are left out: they would mean
// the working directory, which is the frames folder, where no program belongs.
// A folder met twice is searched once.
std::vector<std::string> playerSearchFolders(const std::string& ownFolder, const std::string& pathVariable);

// The full path of the first executable player in the search folders.
std::optional<std::string> findPlayerProgram(const std::string& ownFolder, const std::string& pathVariable,
                                             const ExecutableCheck& isExecutable = isExecutableFile);

}  // namespace velmora
