#pragma once

// salvora-cli whatsapp: the chats of WhatsApp and WhatsApp Business listed, or exported as
// conversations. With both in one backup, each is exported into a folder of its own below DEST,
// "WhatsApp" and "WhatsApp Business", so neither replaces the other; with one, into DEST itself.
#include <CLI/CLI.hpp>

#include "cli/CommandOptions.h"

namespace salvora::cli {

void addWhatsAppCommand(CLI::App& app, BackupOperand& operand, ChosenCommand& chosen);

}  // namespace salvora::cli
