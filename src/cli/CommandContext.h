#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "cli/PasswordSource.h"
#include "foundation/Error.h"

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

// A failure the command line tells in a sentence of its own ("no backup folder \"x\""): it
// names no operation and is told as its reason alone (FailureReport.h).
inline Error commandError(std::string sentence) { return Error{"", "", std::move(sentence)}; }

}  // namespace salvora::cli
