#include <unistd.h>

#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return salvora::cli::run(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1);
}
