#pragma once

// The sentence the status bar shows after a save.
#include <string>
#include <vector>

#include "recovery/Recovery.h"

namespace salvora {

// "Saved 12 files to /dest", or how many of them failed and the first reason.
std::string saveAllMessage(const std::vector<FileOutcome>& outcomes,
                           const std::string& destination);

// "Saved to /dest/name", or why not.
std::string saveFileMessage(const FileOutcome& outcome);

}  // namespace salvora
