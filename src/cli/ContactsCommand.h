#pragma once

// salvora-cli contacts BACKUP DEST [--one-per-contact]: the backup's address book as vCards
// and a CSV file.
#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"

namespace salvora::cli {

void addContactsCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen);

}  // namespace salvora::cli
