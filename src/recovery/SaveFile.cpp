#include "foundation/Log.h"
#include "foundation/Path.h"
#include "recovery/Recovery.h"
#include "recovery/SavedFile.h"

namespace salvora {

FileOutcome saveFile(const std::string& deviceDirectory, const FileRecord& file,
                     const std::string& target, const UnlockedKeybag* keybag,
                     const SaveOptions& options) {
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
        DestinationNames names(options.portableNames, false);
        const std::string name = lastPathComponent(target);
        auto saved = produceSavedFile(backupFolders, file, *folder, name, keybag, &outcome.warning,
                                      std::nullopt, &names);
        if (!saved)
            error = saved.error();
        else if (*saved != name)
            outcome.savedAs = folder->pathOf(*saved);
    }
    logErrorSlot(error);
    return outcome;
}

std::string proposedFileName(const FileRecord& file) {
    return lastPathComponent(file.fullpath().value_or(""));
}

}  // namespace salvora
