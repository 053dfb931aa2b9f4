#pragma once
// velmora-cli run in process through the same entry point as main(): the exit
// code and what it wrote to each stream.
#include <sstream>
#include <string>
#include <vector>

#include "CliCommands.h"

namespace velmora::test {

struct CliRun { int code; std::string out, err; };

inline CliRun cli(const std::vector<std::string>& args, bool terminal = false) {
    std::ostringstream out, err;
    const int code = velmora::cli::runCli(args, out, err, terminal);
    return {code, out.str(), err.str()};
}

}  // namespace velmora::test
