#include "cli/PasswordSource.h"

#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>

#include "cli/CommandContext.h"

namespace salvora::cli {
namespace {

// One line, without its line ending ("\n" or "\r\n"): the way password files and pipes end
// the password.
bool readLine(std::istream& in, std::string& line) {
    if (!std::getline(in, line) && line.empty()) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

// The terminal's settings while echo is off, for the signal handler to put back.
struct termios savedTerminal {};

void restoreTerminalAndDie(int signalNumber) {
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    ::signal(signalNumber, SIG_DFL);
    ::raise(signalNumber);
}

}  // namespace

Status readPassword(const CommandContext& context, const std::string& backup, Password& password) {
    const PasswordSource& source = context.passwords;
    if (source.file) {
        std::ifstream file(*source.file, std::ios::binary);
        if (!file) {
            return commandError("could not read the password file \"" + *source.file +
                                "\": " + std::strerror(errno));
        }
        if (!readLine(file, password.buffer())) {
            return commandError("the password file \"" + *source.file + "\" is empty");
        }
        return {};
    }
    if (source.standardInput) {
        if (source.input.in == nullptr || !readLine(*source.input.in, password.buffer())) {
            return commandError("no password on standard input");
        }
        return {};
    }
    if (source.input.prompt) {
        if (source.input.prompt("Password of the backup " + backup + ": ", password.buffer()))
            return {};
        return commandError("no password given");
    }
    return commandError("the backup " + backup +
                        " is encrypted: give its password with --password-file FILE or "
                        "--password-stdin");
}

bool promptOnTerminal(std::string_view prompt, std::string& answer) {
    if (::tcgetattr(STDIN_FILENO, &savedTerminal) != 0) return false;
    struct termios quiet = savedTerminal;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    quiet.c_lflag |= ECHONL;
    auto previousInterrupt = ::signal(SIGINT, restoreTerminalAndDie);
    auto previousTermination = ::signal(SIGTERM, restoreTerminalAndDie);
    // Echo goes off before the prompt shows, so nothing typed after it is ever echoed.
    const bool quietened = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    std::cerr << prompt << std::flush;
    const bool read = quietened && readLine(std::cin, answer);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
    ::signal(SIGINT, previousInterrupt);
    ::signal(SIGTERM, previousTermination);
    return read;
}

}  // namespace salvora::cli
