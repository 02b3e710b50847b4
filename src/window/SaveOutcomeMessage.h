#pragma once

// The sentence the status bar shows after a save.
#include <string>
#include <vector>

#include "recovery/Recovery.h"

namespace salvora {

// The outcomes of files saved under another name than their own.
std::vector<FileOutcome> renamedFiles(const std::vector<FileOutcome>& outcomes);

// "Saved 12 files to /dest (2 renamed)", or how many of them failed and the first reason.
std::string saveAllMessage(const std::vector<FileOutcome>& outcomes,
                           const std::string& destination);

// "Cancelled after 3 of 10 files.", put before the message of the files attempted.
std::string cancelledSaveMessage(std::size_t attempted, std::size_t total);

// "Saved to /dest/name", or to the name the drive takes, or why not.
std::string saveFileMessage(const FileOutcome& outcome);

}  // namespace salvora
