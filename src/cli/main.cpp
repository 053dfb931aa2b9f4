#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "CliCommands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool progress = isatty(STDERR_FILENO) != 0;
    return velmora::cli::RunCli(args, std::cout, std::cerr, progress);
}
