#include <numeric>
#include <vector>

#include "foundation/Log.h"
#include "foundation/Path.h"
#include "recovery/HeldFolders.h"
#include "recovery/Recovery.h"
#include "recovery/RelativePath.h"
#include "recovery/SavedFile.h"

namespace salvora {
namespace {

// The folder step of one file: the folder that will hold it, made level by level below the
// destination. A relative path that could lead elsewhere is refused before anything is made.
Result<const OpenFolder*> makeTargetFolder(HeldFolders& folders, const FileRecord& file,
                                           const std::string& target, std::string& name,
                                           bool& renamed) {
    if (!file.fullpath()) return Error{"Refused to save", target, "The file has no relative path"};
    if (Status sound = soundRelativePath(*file.fullpath(), "the chosen folder"); !sound)
        return Error{"Refused to save", target, "The relative path " + sound.error().reason};
    std::vector<std::string_view> levels = pathComponents(*file.fullpath());
    name = levels.back();
    levels.pop_back();
    return folders.folderFor(levels, &renamed);
}

std::uint64_t recordedBytes(const std::vector<FileRecord>& files) {
    return std::accumulate(
        files.begin(), files.end(), std::uint64_t{0},
        [](std::uint64_t sum, const FileRecord& file) { return sum + file.size().value_or(0); });
}

}  // namespace

std::vector<FileOutcome> saveAll(const std::string& deviceDirectory,
                                 const std::vector<FileRecord>& files,
                                 const std::string& destination, const SaveProgress& progress,
                                 const UnlockedKeybag* keybag, const SaveOptions& options) {
    std::vector<FileOutcome> outcomes;
    outcomes.reserve(files.size());
    HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
    DestinationNames names(options.portableNames);
    HeldFolders folders(destination, CreateMissing::Yes, &names);
    SaveStatus status{0, files.size(), 0, recordedBytes(files), {}};
    for (const FileRecord& file : files) {
        status.current = file.fullpath() ? std::string_view(*file.fullpath()) : std::string_view();
        if (progress && !progress(status)) return outcomes;
        FileOutcome& outcome = outcomes.emplace_back();
        outcome.target = appendingPathComponent(destination, file.fullpath().value_or(""));
        // The file's error slot, empty at the start of its turn: a step that fails fills it.
        ErrorSlot& error = outcome.error;
        std::string name;
        bool renamed = false;
        auto folder = makeTargetFolder(folders, file, outcome.target, name, renamed);
        if (!folder) error = folder.error();
        logErrorSlot(error);
        // Without its folder there is nowhere safe to put the file; the folder's error stands.
        if (folder) {
            auto saved = produceSavedFile(backupFolders, file, **folder, name, keybag,
                                          &outcome.warning, std::nullopt, &names);
            if (!saved)
                error = saved.error();
            else if (renamed || *saved != name)
                outcome.savedAs = (*folder)->pathOf(*saved);
        }
        logErrorSlot(error);
        ++status.filesDone;
        status.bytesDone += file.size().value_or(0);
    }
    status.current = {};
    if (progress) progress(status);
    return outcomes;
}

}  // namespace salvora
