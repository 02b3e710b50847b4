#pragma once

// salvora-cli as a function of its arguments and output streams, so that tests can run it
// in-process; main only hands over the process's own.
#include <ostream>
#include <string>
#include <vector>

#include "cli/PasswordSource.h"

namespace salvora::cli {

enum ExitStatus : int { Success = 0, SomeFilesFailed = 1, UsageError = 2 };

// Runs the command that `args` (without the program name) give. `showProgress`: draw a
// progress line on `err` while saving, for when it is a terminal.
[[nodiscard]] int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool showProgress = false);
// The same with standard input and the terminal that a password may come from.
[[nodiscard]] int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                      bool showProgress, const PasswordInput& input);

}  // namespace salvora::cli
