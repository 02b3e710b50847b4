#pragma once

#include <ostream>
#include <string_view>

#include "cli/PasswordSource.h"

namespace salvora::cli {

// Where a command writes, whether it may draw a progress line, and where the password of an
// encrypted backup comes from.
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    bool showProgress;
    const PasswordSource& passwords;

    // One line on standard error, after the program's name.
    void complain(std::string_view text) const { err << "salvora-cli: " << text << '\n'; }
};

}  // namespace salvora::cli
