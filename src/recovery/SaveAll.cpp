#include <vector>

#include "foundation/Log.h"
#include "foundation/Path.h"
#include "recovery/Recovery.h"
#include "recovery/RelativePath.h"
#include "recovery/SafeFolder.h"
#include "recovery/SavedFile.h"

namespace salvora {
namespace {

// The folder step of one file: the folder that will hold it, made level by level below the
// destination. A relative path that could lead elsewhere is refused before anything is made.
std::optional<OpenFolder> makeTargetFolder(const std::string& destination, const FileRecord& file,
                                           const std::string& target, std::string& name,
                                           ErrorSlot& error) {
    if (!file.fullpath) {
        error = Error{"Refused to save", target, "The file has no relative path"};
        return std::nullopt;
    }
    if (auto problem = relativePathProblem(*file.fullpath, "the chosen folder")) {
        error = Error{"Refused to save", target, "The relative path " + *problem};
        return std::nullopt;
    }
    std::vector<std::string_view> levels = pathComponents(*file.fullpath);
    name = levels.back();
    levels.pop_back();
    return openFolderBelow(destination, levels, CreateMissing::Yes, error);
}

}  // namespace

std::vector<FileOutcome> saveAll(const std::string& deviceDirectory,
                                 const std::vector<FileRecord>& files,
                                 const std::string& destination, const SaveProgress& progress) {
    std::vector<FileOutcome> outcomes;
    outcomes.reserve(files.size());
    for (const FileRecord& file : files) {
        FileOutcome& outcome = outcomes.emplace_back();
        outcome.target = appendingPathComponent(destination, file.fullpath.value_or(""));
        std::string name;
        auto folder = makeTargetFolder(destination, file, outcome.target, name, outcome.error);
        logErrorSlot(outcome.error);
        // Without its folder there is nowhere safe to put the file; the folder's error stands.
        if (folder) outcome.error = produceSavedFile(deviceDirectory, file, *folder, name);
        logErrorSlot(outcome.error);
        if (progress) progress(outcomes.size(), files.size());
    }
    return outcomes;
}

}  // namespace salvora
