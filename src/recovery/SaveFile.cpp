#include "foundation/Log.h"
#include "foundation/Path.h"
#include "recovery/Recovery.h"
#include "recovery/SavedFile.h"

namespace salvora {

FileOutcome saveFile(const std::string& deviceDirectory, const FileRecord& file,
                     const std::string& target, const UnlockedKeybag* keybag) {
    FileOutcome outcome{target, std::nullopt};
    // The folder the user pointed into is taken as it is; no folder is made.
    const std::string folderPath = deletingLastPathComponent(target);
    auto folder = openFolder(folderPath.empty() ? "." : folderPath, &outcome.error);
    if (folder) {
        HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
        outcome.error = produceSavedFile(backupFolders, file, *folder, lastPathComponent(target),
                                         keybag, &outcome.warning);
    }
    logErrorSlot(outcome.error);
    return outcome;
}

std::string proposedFileName(const FileRecord& file) {
    return lastPathComponent(file.fullpath().value_or(""));
}

}  // namespace salvora
