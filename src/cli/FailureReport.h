#pragma once

// How the saving commands tell the user about files that could not be saved, or were saved
// under another name than their own or with a length other than recorded.
#include <cstddef>
#include <vector>

#include "cli/CommandContext.h"
#include "recovery/Recovery.h"

namespace salvora::cli {

// One line on standard error per outcome with an error, another name ("DEST/a:b.txt: saved as
// DEST/a：b.txt") or a warning; the number of errors.
std::size_t complainOfFailures(const CommandContext& context,
                               const std::vector<FileOutcome>& outcomes);

}  // namespace salvora::cli
