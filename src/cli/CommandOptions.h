#pragma once

// The options every command that reads a backup shares, and the way a command kept in a file of
// its own joins the parser: it adds its subcommand and, when that is the one given, says what
// to run.
#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "cli/CommandContext.h"

namespace salvora::cli {

// A BACKUP operand and the two ways to give an encrypted backup's password.
struct BackupOperand {
    std::string backup;
    std::string passwordFile;
    bool passwordStdin = false;
};

void addBackup(CLI::App* command, BackupOperand& operand);

// The option that makes every name safe for every system, for a save's command.
void addPortableNames(CLI::App* command, bool& portableNames);

// What runs once the arguments are parsed; set by the command that was given.
using ChosenCommand = std::function<int(const CommandContext& context)>;

}  // namespace salvora::cli
