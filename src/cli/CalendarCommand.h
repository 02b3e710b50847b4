#pragma once

// salvora-cli calendar BACKUP DEST [--all]: the backup's calendars, one iCalendar file each.
#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"

namespace salvora::cli {

void addCalendarCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen);

}  // namespace salvora::cli
