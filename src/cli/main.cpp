#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "CliCommands.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const bool progress = isatty(STDERR_FILENO) != 0;
    return velmora::cli::runCli(args, std::cout, std::cerr, progress);
}
