#include "sources/photos/BackupPhotoLibrary.h"

#include "recovery/StoredDatabase.h"

namespace salvora {

BackupPhotoLibrary readBackupPhotoLibrary(HeldFolders& backupFolders, const CameraRoll& roll,
                                          const UnlockedKeybag* keybag) {
    const FileRecord* record = roll.file(PhotoLibraryPath);
    if (record == nullptr) return {std::nullopt, "Photos.sqlite is missing from this backup"};
    const FileRecord* wal = roll.file(std::string(PhotoLibraryPath) + "-wal");
    auto opened = openStoredDatabase(backupFolders, *record, wal, keybag);
    if (!opened)
        return {std::nullopt, "Photos.sqlite could not be read: " + opened.error().description()};
    BackupPhotoLibrary result{std::nullopt, std::nullopt, std::move(opened->warning)};
    std::string schemaProblem;
    result.library = readPhotoLibrary(opened->database, schemaProblem);
    if (!result.library) result.problem = "Photos.sqlite " + schemaProblem;
    return result;
}

}  // namespace salvora
