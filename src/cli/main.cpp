#include <unistd.h>

#include <iostream>

#include "cli/Cli.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    salvora::cli::PasswordInput input{&std::cin, nullptr};
    // A password is asked for only where someone can type it.
    if (::isatty(STDIN_FILENO) == 1) input.prompt = salvora::cli::promptOnTerminal;
    return salvora::cli::run(args, std::cout, std::cerr, ::isatty(STDERR_FILENO) == 1, input);
}
