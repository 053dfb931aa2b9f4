#pragma once
// What the desktop program's command line asks for, read the way the desktop
// shell passes it (plain parsing, no Qt, so it can be fuzzed without a GUI):
// a document to open, "/p FILE", "/pt FILE PRINTER DRIVER PORT", "/dde",
// "/Unregister" or "/Unregserver" (a "-" works as well as a "/"), or --help.
#include <string>
#include <vector>

namespace velmora {

struct CommandLineInfo {
    enum class Action { New, Open, Print, PrintTo, Dde, Unregister, Help, Error };
    Action action = Action::New;
    std::string file;
    std::string printer;
    std::string driver;
    std::string port;
    std::string error;  // for Action::Error
};

CommandLineInfo parseCommandLine(const std::vector<std::string>& args);

std::string commandLineUsage();

}  // namespace velmora
