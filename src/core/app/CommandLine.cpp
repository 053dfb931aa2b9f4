#include "app/CommandLine.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace velmora {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool isSwitch(const std::string& a) { return a.size() > 1 && (a[0] == '/' || a[0] == '-'); }

CommandLineInfo fail(const std::string& text) {
    CommandLineInfo info;
    info.action = CommandLineInfo::Action::Error;
    info.error = text;
    return info;
}

}  // namespace

CommandLineInfo parseCommandLine(const std::vector<std::string>& args) {
    CommandLineInfo info;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // A path such as /home/me/x.vmr is a file, not a switch: switches are single words.
        std::error_code ec;
        const bool looksLikeSwitch =
            isSwitch(a) && a.find('/', 1) == std::string::npos && !std::filesystem::exists(a, ec);
        if (!looksLikeSwitch) {
            if (!info.file.empty()) return fail("Only one document can be opened: " + a);
            info.file = a;
            if (info.action == CommandLineInfo::Action::New) info.action = CommandLineInfo::Action::Open;
            continue;
        }
        const std::size_t start = a.find_first_not_of("-/");
        const std::string name = start == std::string::npos ? std::string() : lower(a.substr(start));
        if (name == "help" || name == "h" || name == "?") {
            info.action = CommandLineInfo::Action::Help;
            return info;
        }
        if (name == "unregister" || name == "unregserver") {
            info.action = CommandLineInfo::Action::Unregister;
            return info;
        }
        if (name == "dde" || name == "embedding" || name == "automation") {
            info.action = CommandLineInfo::Action::Dde;
            continue;
        }
        if (name == "p") {
            if (i + 1 >= args.size()) return fail("/p needs the document to print.");
            info.action = CommandLineInfo::Action::Print;
            info.file = args[++i];
            continue;
        }
        if (name == "pt") {
            if (i + 4 >= args.size()) return fail("/pt needs the document, the printer, the driver and the port.");
            info.action = CommandLineInfo::Action::PrintTo;
            info.file = args[++i];
            info.printer = args[++i];
            info.driver = args[++i];
            info.port = args[++i];
            continue;
        }
        return fail("Unknown option: " + a);
    }
    return info;
}

std::string commandLineUsage() {
    return "Usage: velmora [DOCUMENT.vmr]\n"
           "       velmora /p DOCUMENT.vmr\n"
           "       velmora /pt DOCUMENT.vmr PRINTER DRIVER PORT\n"
           "       velmora /Unregister\n"
           "Velmora, the fractal explorer.\n\n"
           "  DOCUMENT.vmr   open this document\n"
           "  /p             print the document on the default printer and quit\n"
           "  /pt            print the document on the named printer and quit\n"
           "                 (a PRINTER ending in .pdf writes that PDF file)\n"
           "  /Unregister    remove Velmora's saved settings and quit\n"
           "  --help         show this text\n"
           "  --version      show the version\n";
}

}  // namespace velmora
