#include "platform/PlayerLaunch.h"

#include <algorithm>
#include <filesystem>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace velmora {
namespace {

#ifdef _WIN32
constexpr char kPathListSeparator = ';';
#else
constexpr char kPathListSeparator = ':';
#endif

std::string withoutQuotes(std::string entry) {
    // Windows allows quoted PATH entries; the quotes are not part of the name.
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"') entry = entry.substr(1, entry.size() - 2);
    return entry;
}

}  // namespace

const char* playerProgramName() {
#ifdef _WIN32
    return "ZEDoz.exe";
#else
    return "ZEDoz";
#endif
}

std::string playerLoadErrorText() {
    return std::string("Error loading ") + playerProgramName() + ".\n You should reinstall Velmora.";
}

bool isExecutableFile(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return false;
#ifdef _WIN32
    return true;
#else
    return ::access(path.c_str(), X_OK) == 0;
#endif
}

std::vector<std::string> playerSearchFolders(const std::string& ownFolder, const std::string& pathVariable) {
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& folder) {
        if (folder.empty() || !std::filesystem::path(folder).is_absolute()) return;
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    };
    add(ownFolder);
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = pathVariable.find(kPathListSeparator, start);
        add(withoutQuotes(pathVariable.substr(start, end == std::string::npos ? std::string::npos : end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return folders;
}

std::optional<std::string> findPlayerProgram(const std::string& ownFolder, const std::string& pathVariable,
                                             const ExecutableCheck& isExecutable) {
    for (const std::string& folder : playerSearchFolders(ownFolder, pathVariable)) {
        const std::string candidate = (std::filesystem::path(folder) / playerProgramName()).string();
        if (isExecutable(candidate)) return candidate;
    }
    return std::nullopt;
}

}  // namespace velmora
