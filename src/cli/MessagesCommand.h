#pragma once

// salvora-cli messages: the conversations of Messages (HomeDomain "Library/SMS/sms.db") listed,
// or exported as conversations into DEST.
#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"

namespace salvora::cli {

void addMessagesCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen);

}  // namespace salvora::cli
