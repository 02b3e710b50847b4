#pragma once

// Where salvora-cli gets the password of an encrypted backup: a file, standard input, or a
// prompt on the terminal; never the command line or the environment, which other users and
// shell histories can read.
#include <functional>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "crypto/Password.h"
#include "foundation/Error.h"

namespace salvora::cli {

struct CommandContext;

// What the process offers besides the command line: tests give their own.
struct PasswordInput {
    // Standard input, read by --password-stdin; null reads as empty.
    std::istream* in = nullptr;
    // Shows the prompt and reads one line into `answer` without echo; empty when standard input
    // is no terminal. False when nothing could be read.
    std::function<bool(std::string_view prompt, std::string& answer)> prompt;
};

// What the command line chose.
struct PasswordSource {
    std::optional<std::string> file;  // --password-file FILE
    bool standardInput = false;       // --password-stdin
    PasswordInput input;
};

// Reads the password from where the command line says, or asks on the terminal when it says
// nothing; fails, saying why, when there is no password to be had.
Status readPassword(const CommandContext& context, const std::string& backup, Password& password);

// The prompt of a real terminal: echo is switched off on standard input while the line is
// typed, and switched back on however the reading ends (an interrupt included).
[[nodiscard]] bool promptOnTerminal(std::string_view prompt, std::string& answer);

}  // namespace salvora::cli
