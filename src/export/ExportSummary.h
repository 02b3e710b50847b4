#pragma once

// What came of an export, for the window's status bar and the command line's last lines.
#include <cstddef>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "recovery/Recovery.h"

namespace salvora {

// A count of what was exported, with its noun: {12, "conversation", "conversations"}.
struct ExportCount {
    std::size_t count = 0;
    std::string one;
    std::string many;
};

struct ExportSummary {
    std::vector<ExportCount> counts;
    // Files the database names but the backup doesn't hold (kept in iCloud, never downloaded):
    // no failure.
    std::vector<std::string> notInBackup;
    std::vector<FileOutcome> failures;
    // Files saved under another name than planned because the drive refuses that name.
    std::vector<FileOutcome> renamed;
    // Sentences about what could not be read and was left out (a damaged table, a -wal).
    std::vector<std::string> warnings;
    // Why nothing was exported (no such database in the backup, a destination refused).
    ErrorSlot error;
    bool cancelled = false;
    // The file a person opens first ("/dest/index.html"); empty when there is none.
    std::string firstPage;
};

// An export that ended before it began, for `error`'s reason.
ExportSummary failedExport(Error error);

// Adds what `part`, one piece of a larger export, came to: counts of the same noun summed, the
// rest after what is there; the first error is kept.
void addExportPart(ExportSummary& whole, ExportSummary part);

// "12 conversations, 3400 messages, 51 attachments, 2 not in this backup, 0 failed".
std::string summaryCounts(const ExportSummary& summary);

}  // namespace salvora
