#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "CliCommands.h"
#include "VelmoraVersion.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 1 && args[0] == "--version") {
        std::cout << "velmora-cli " << velmora::kVersion << "\n";
        return 0;
    }
    const bool progress = isatty(STDERR_FILENO) != 0;
    return velmora::cli::runCli(args, std::cout, std::cerr, progress);
}
