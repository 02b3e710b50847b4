#pragma once

// The saving commands: every file of one application or of all, or one file.
#include <string>

#include "cli/CommandContext.h"

namespace salvora::cli {

// Save all of one application into `destination`, with no folder level of its own.
[[nodiscard]] int extractApplication(const CommandContext& context, const std::string& backup,
                                     const std::string& application,
                                     const std::string& destination);

// Save all of every application, each into a folder of its own below `destination`.
[[nodiscard]] int extractAll(const CommandContext& context, const std::string& backup,
                             const std::string& destination);

// Save one file: the first of the application's records with that relative path.
[[nodiscard]] int extractFile(const CommandContext& context, const std::string& backup,
                              const std::string& application, const std::string& fullpath,
                              const std::string& target);

// The folder an application's files go to with --all: its name, "/" turned into "_", with a
// folder name of its own for the empty name and names that would mean another folder.
std::string applicationFolderName(const std::string& name);

}  // namespace salvora::cli
