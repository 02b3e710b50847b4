#include "cli/DatabaseExport.h"

#include "cli/Cli.h"
#include "cli/ExportReport.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/Log.h"

namespace salvora::cli {

int runDatabaseExport(const CommandContext& context, const std::string& backup,
                      std::string_view absent, const DatabaseExport& run) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    if (!opened->device->applications)
        return usageFailure(context, commandError(std::string(absent)));
    LogSilence silence;
    ProgressLine progress(context.err, context.showProgress);
    ExportSummary summary = run(opened->device->directory, *opened->device->applications,
                                opened->keybag(), progress.saveProgress());
    progress.clear();
    if (summary.error && summary.error->kind == ErrorKind::NotInBackup)
        return usageFailure(context, commandError(std::string(absent)));
    return reportExport(context, summary);
}

}  // namespace salvora::cli
