#pragma once

// Times `salvora-cli calls` on a backup whose call history holds many calls, whole processes
// as a user runs them: open the backup, read the store and the address book, write both files.
#include <cstddef>
#include <string>

#include "bench/Report.h"

namespace salvora::bench {

// A Manifest.db backup with a CallHistory.storedata of `calls` calls and the fixture's address
// book.
void writeCallHistoryBackup(const std::string& folder, std::size_t calls);

// `cli`: salvora-cli; each run exports into the same folder under `scratch`, replacing the last.
void benchCallExport(Report& report, const std::string& backupFolder, const std::string& scratch,
                     const std::string& cli, std::size_t calls, int runs);

}  // namespace salvora::bench
