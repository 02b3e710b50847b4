#include "cli/PhotosCommand.h"

#include "cli/Cli.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/Log.h"
#include "sources/photos/CameraRoll.h"
#include "sources/photos/PhotoExport.h"

namespace salvora::cli {

int exportPhotosOf(const CommandContext& context, const std::string& backup,
                   const std::string& destination, const PhotoExportOptions& options) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    if (!opened->device->applications || !hasCameraRoll(*opened->device->applications))
        return usageFailure(context,
                            commandError("no camera roll (CameraRollDomain) in this backup"));

    LogSilence silence;
    ProgressLine progress(context.err, context.showProgress);
    const PhotoExportSummary summary =
        exportPhotos(opened->device->directory, *opened->device->applications, destination, options,
                     progress.saveProgress(), opened->keybag());
    progress.clear();

    if (summary.libraryWarning) context.complain(*summary.libraryWarning);
    if (summary.libraryProblem) context.complain(*summary.libraryProblem);
    const std::size_t failed = complainOfFailures(context, summary.failures);
    complainOfFailures(context, summary.renamed);
    for (const std::string& name : summary.notInBackup)
        context.out << "Not in this backup (kept only in iCloud): " << name << '\n';
    context.out << "Exported " << summaryCounts(summary) << '\n';
    return failed == 0 ? Success : SomeFilesFailed;
}

}  // namespace salvora::cli
