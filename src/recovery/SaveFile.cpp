#include "foundation/Log.h"
#include "foundation/Path.h"
#include "recovery/Recovery.h"
#include "recovery/SavedFile.h"

namespace salvora {

FileOutcome saveFile(const std::string& deviceDirectory, const FileRecord& file,
                     const std::string& target, const UnlockedKeybag* keybag) {
    FileOutcome outcome{target, std::nullopt};
    // The file's error slot: a step that fails fills it.
    ErrorSlot& error = outcome.error;
    // The folder the user pointed into is taken as it is; no folder is made.
    const std::string folderPath = deletingLastPathComponent(target);
    auto folder = openFolder(folderPath.empty() ? "." : folderPath);
    if (!folder) {
        error = folder.error();
    } else {
        HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
        Status saved = produceSavedFile(backupFolders, file, *folder, lastPathComponent(target),
                                        keybag, &outcome.warning);
        if (!saved) error = saved.error();
    }
    logErrorSlot(error);
    return outcome;
}

std::string proposedFileName(const FileRecord& file) {
    return lastPathComponent(file.fullpath().value_or(""));
}

}  // namespace salvora
