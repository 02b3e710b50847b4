#pragma once

// salvora-cli calls BACKUP DEST | BACKUP --json: the backup's call history as a CSV file and a
// page, or as JSON on standard output.
#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"

namespace salvora::cli {

void addCallsCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen);

}  // namespace salvora::cli
