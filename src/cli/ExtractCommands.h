#pragma once

// The saving commands: every file of one application or of all, or one file.
#include <string>

#include "cli/CommandContext.h"
#include "recovery/Recovery.h"

namespace salvora::cli {

// Save all of one application into `destination`, with no folder level of its own.
[[nodiscard]] int extractApplication(const CommandContext& context, const std::string& backup,
                                     const std::string& application, const std::string& destination,
                                     const SaveOptions& options);

// Save all of every application, each into a folder of its own below `destination`.
[[nodiscard]] int extractAll(const CommandContext& context, const std::string& backup,
                             const std::string& destination, const SaveOptions& options);

// Save one file: the first of the application's records with that relative path.
[[nodiscard]] int extractFile(const CommandContext& context, const std::string& backup,
                              const std::string& application, const std::string& fullpath,
                              const std::string& target, const SaveOptions& options);

// The folder an application's files go to with --all: its name, "/" turned into "_", with a
// folder name of its own for the empty name and names that would mean another folder; with
// portable names, made safe for every system.
std::string applicationFolderName(const std::string& name, bool portableNames = false);

}  // namespace salvora::cli
