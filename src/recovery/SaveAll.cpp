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
const OpenFolder* makeTargetFolder(HeldFolders& folders, const FileRecord& file,
                                   const std::string& target, std::string& name, ErrorSlot& error) {
    if (!file.fullpath()) {
        error = Error{"Refused to save", target, "The file has no relative path"};
        return nullptr;
    }
    if (auto problem = relativePathProblem(*file.fullpath(), "the chosen folder")) {
        error = Error{"Refused to save", target, "The relative path " + *problem};
        return nullptr;
    }
    std::vector<std::string_view> levels = pathComponents(*file.fullpath());
    name = levels.back();
    levels.pop_back();
    return folders.folderFor(levels, error);
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
                                 const UnlockedKeybag* keybag) {
    std::vector<FileOutcome> outcomes;
    outcomes.reserve(files.size());
    HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
    HeldFolders folders(destination, CreateMissing::Yes);
    SaveStatus status{0, files.size(), 0, recordedBytes(files), {}};
    for (const FileRecord& file : files) {
        status.current = file.fullpath() ? std::string_view(*file.fullpath()) : std::string_view();
        if (progress && !progress(status)) return outcomes;
        FileOutcome& outcome = outcomes.emplace_back();
        outcome.target = appendingPathComponent(destination, file.fullpath().value_or(""));
        std::string name;
        const OpenFolder* folder =
            makeTargetFolder(folders, file, outcome.target, name, outcome.error);
        logErrorSlot(outcome.error);
        // Without its folder there is nowhere safe to put the file; the folder's error stands.
        if (folder != nullptr)
            outcome.error =
                produceSavedFile(backupFolders, file, *folder, name, keybag, &outcome.warning);
        logErrorSlot(outcome.error);
        ++status.filesDone;
        status.bytesDone += file.size().value_or(0);
    }
    status.current = {};
    if (progress) progress(status);
    return outcomes;
}

}  // namespace salvora
