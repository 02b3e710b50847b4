#pragma once

// How the commands tell the user why they could not go on, and the saving commands about files
// that could not be saved, or were saved under another name than their own or with a length
// other than recorded.
#include <cstddef>
#include <vector>

#include "cli/CommandContext.h"
#include "recovery/Recovery.h"

namespace salvora::cli {

// Tells on standard error why the command can't go on: the error's description, or its
// sentence alone when the command line made it (commandError); "wrong password" for a password
// the backup refuses. The exit status the command ends with.
[[nodiscard]] int usageFailure(const CommandContext& context, const Error& error);

// One line on standard error per outcome with an error, another name ("DEST/a:b.txt: saved as
// DEST/a：b.txt") or a warning; the number of errors.
std::size_t complainOfFailures(const CommandContext& context,
                               const std::vector<FileOutcome>& outcomes);

}  // namespace salvora::cli
