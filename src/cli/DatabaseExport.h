#pragma once

// How a command that exports one database of a backup (contacts, calendars…) runs: the backup
// opened, the export run with the progress line, and its end told as reportExport tells it.
#include <functional>
#include <string>
#include <string_view>

#include "catalog/model/Records.h"
#include "cli/CommandContext.h"
#include "crypto/UnlockedKeybag.h"
#include "export/ExportSummary.h"

namespace salvora::cli {

using DatabaseExport = std::function<ExportSummary(
    const std::string& deviceDirectory, const ApplicationMap& applications,
    const UnlockedKeybag* keybag, const SaveProgress& progress)>;

// `absent` is the one sentence told, with UsageError, when the backup holds no such database.
int runDatabaseExport(const CommandContext& context, const std::string& backup,
                      std::string_view absent, const DatabaseExport& run);

}  // namespace salvora::cli
