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
    Result<PhotoLibrary> library = readPhotoLibrary(opened->database);
    if (library)
        result.library = std::move(*library);
    else
        result.problem = library.error().path + " " + library.error().reason;
    return result;
}

}  // namespace salvora
