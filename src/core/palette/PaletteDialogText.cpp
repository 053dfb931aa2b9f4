#include "palette/PaletteDialogText.h"

#include <vector>

namespace velmora {

std::string dialogFilterList(const std::string& pipeFilter) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : pipeFilter) {
        if (c == '|') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    std::string out;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        const std::string& desc = parts[i];
        const std::string& pattern = parts[i + 1];
        if (desc.empty() && pattern.empty()) break;  // the closing "||"
        if (!out.empty()) out += ";;";
        out += desc;
        if (desc.find("(" + pattern + ")") == std::string::npos) out += " (" + pattern + ")";
    }
    return out;
}

std::string withDefaultExtension(const std::string& path, const std::string& ext) {
    if (path.empty() || ext.empty()) return path;
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return path;  // a folder, not a file name
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot != 0) return path;
    return path + "." + ext;
}

}  // namespace velmora
