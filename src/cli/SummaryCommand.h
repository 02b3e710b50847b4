#pragma once

// salvora-cli summary BACKUP [--json]: the backup at a glance, what the device was and what
// can be exported from it, counted.
#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"

namespace salvora::cli {

void addSummaryCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen);

}  // namespace salvora::cli
