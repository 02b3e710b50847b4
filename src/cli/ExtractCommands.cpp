#include "cli/ExtractCommands.h"

#include <algorithm>
#include <vector>

#include "cli/Cli.h"
#include "cli/FailureReport.h"
#include "cli/OpenedBackup.h"
#include "cli/ProgressLine.h"
#include "foundation/Log.h"
#include "foundation/Path.h"
#include "foundation/Plural.h"
#include "recovery/Recovery.h"
#include "recovery/SafeNames.h"

namespace salvora::cli {
namespace {

// One line per file that could not be saved or was saved under another name, then the summary;
// the exit status follows.
int report(const CommandContext& context, const std::vector<FileOutcome>& outcomes) {
    const std::size_t failed = complainOfFailures(context, outcomes);
    context.out << "Saved " << counted(outcomes.size() - failed, "file", "files") << ", " << failed
                << " failed\n";
    return failed == 0 ? Success : SomeFilesFailed;
}

}  // namespace

std::string applicationFolderName(const std::string& name, bool portableNames) {
    if (name.empty()) return "(Unknown Application Name)";
    // "." and ".." keep a dot's place each: "_", "__".
    const std::string folder = plainFileName(name, std::string(name.size(), '_'));
    return portableNames ? nameForEverySystem(folder) : folder;
}

int extractApplication(const CommandContext& context, const std::string& backup,
                       const std::string& application, const std::string& destination,
                       const SaveOptions& options) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    auto found = opened->findApplication(application);
    if (!found) return usageFailure(context, found.error());
    const ApplicationRecord* record = *found;

    LogSilence silence;
    ProgressLine progress(context.err, context.showProgress);
    auto outcomes = saveAll(opened->device->directory, record->files, destination,
                            progress.saveProgress(), opened->keybag(), options);
    progress.clear();
    return report(context, outcomes);
}

int extractAll(const CommandContext& context, const std::string& backup,
               const std::string& destination, const SaveOptions& options) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    std::size_t total = 0;
    for (const auto& application : opened->applications) total += application->files.size();

    LogSilence silence;
    ProgressLine progress(context.err, context.showProgress);
    std::vector<FileOutcome> outcomes;
    outcomes.reserve(total);
    for (const auto& application : opened->applications) {
        const std::size_t before = outcomes.size();
        auto saved = saveAll(
            opened->device->directory, application->files,
            appendingPathComponent(destination,
                                   applicationFolderName(application->name, options.portableNames)),
            [&](const SaveStatus& status) {
                progress.update(before + status.filesDone, total);
                return true;
            },
            opened->keybag(), options);
        std::move(saved.begin(), saved.end(), std::back_inserter(outcomes));
    }
    progress.clear();
    return report(context, outcomes);
}

int extractFile(const CommandContext& context, const std::string& backup,
                const std::string& application, const std::string& fullpath,
                const std::string& target, const SaveOptions& options) {
    auto opened = openBackup(context, backup);
    if (!opened) return usageFailure(context, opened.error());
    auto found = opened->findApplication(application);
    if (!found) return usageFailure(context, found.error());
    const ApplicationRecord* record = *found;
    auto file = std::find_if(record->files.begin(), record->files.end(),
                             [&](const FileRecord& each) { return each.fullpath() == fullpath; });
    if (file == record->files.end())
        return usageFailure(context, commandError("no file \"" + fullpath +
                                                  "\" in the application \"" + application + "\""));
    LogSilence silence;
    return report(context,
                  {saveFile(opened->device->directory, *file, target, opened->keybag(), options)});
}

}  // namespace salvora::cli
