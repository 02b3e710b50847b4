#pragma once

// How the saving commands tell the user about files that could not be saved.
#include <cstddef>
#include <vector>

#include "cli/CommandContext.h"
#include "recovery/Recovery.h"

namespace salvora::cli {

// One line on standard error per outcome with an error; the number of them.
std::size_t complainOfFailures(const CommandContext& context,
                               const std::vector<FileOutcome>& outcomes);

}  // namespace salvora::cli
