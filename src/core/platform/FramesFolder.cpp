#include "platform/FramesFolder.h"

#include <cstdlib>
#include <filesystem>

namespace velmora {

char pathSeparator() {
    return static_cast<char>(std::filesystem::path::preferred_separator);
}

std::string defaultFramesFolder() {
#ifdef _WIN32
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    std::string base;
    if (home != nullptr && *home != '\0') {
        base = home;
    } else {
        std::error_code ec;
        base = std::filesystem::current_path(ec).string();
    }
    if (!base.empty() && base.back() != pathSeparator()) base += pathSeparator();
    return base + "anim" + pathSeparator();
}

}  // namespace velmora
