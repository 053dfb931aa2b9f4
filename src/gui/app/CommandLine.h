#pragma once
// What the command line asks for, read the way the desktop shell passes it:
// a document to open, "/p FILE", "/pt FILE PRINTER DRIVER PORT", "/dde",
// "/Unregister" or "/Unregserver" (a "-" works as well as a "/"), or --help.
#include <string>
#include <vector>

namespace velmora::gui {

struct CommandLineInfo {
    enum class Action { New, Open, Print, PrintTo, Dde, Unregister, Help, Error };
    Action action = Action::New;
    std::string file;
    std::string printer;
    std::string driver;
    std::string port;
    std::string error;  // for Action::Error
};

CommandLineInfo ParseCommandLine(const std::vector<std::string>& args);

std::string CommandLineUsage();

}  // namespace velmora::gui
