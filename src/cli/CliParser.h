#pragma once
// velmora-cli's command line: its subcommands and their options, declared once
// with CLI11, which also writes the help from them.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "CliAnim.h"
#include "CliOptions.h"
#include "CliZoom.h"

namespace CLI {
class App;
}

namespace velmora::cli {

enum class Command { Render, Info, Resave, New, Palette, Anim, Keyframe, Set, Zoom };

struct CommandLine {
    std::optional<Command> command;  // none: the program's own --help or --version
    bool help = false;
    bool version = false;
    Options options;   // render, info, resave, new, palette, keyframe, set
    AnimOptions anim;  // anim
    ZoomOptions zoom;  // zoom
};

// The program and its subcommands, their options bound to `into`.
std::unique_ptr<CLI::App> declareCommandLine(CommandLine& into);

// Reads the arguments (without the program's name). False with the message in
// `error` on the first fault: an unknown command or option, a missing or
// refused value, or options that do not go together.
bool parseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// The usage of a command, or of the program when there is none.
std::string helpText(std::optional<Command> command);

}  // namespace velmora::cli
