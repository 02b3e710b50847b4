#pragma once

#include <ostream>
#include <string_view>

namespace salvora::cli {

// Where a command writes, and whether it may draw a progress line.
struct CommandContext {
    std::ostream& out;
    std::ostream& err;
    bool showProgress;

    // One line on standard error, after the program's name.
    void complain(std::string_view text) const { err << "salvora-cli: " << text << '\n'; }
};

}  // namespace salvora::cli
