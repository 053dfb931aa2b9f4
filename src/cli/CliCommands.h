#pragma once
// velmora-cli's subcommands over the core, with their streams passed in so
// tests can run them in-process.
#include <iosfwd>
#include <string>
#include <vector>

namespace velmora::cli {

// What render --verify exits with when checked pixels differ from the plain
// loop: the picture is written, but it is not the exact loop's.
inline constexpr int kVerifyFailedExit = 3;

// args excludes the program name. Returns the process exit code.
int runCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           bool progressToErr = false);

}  // namespace velmora::cli
