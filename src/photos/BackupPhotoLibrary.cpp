#include "photos/BackupPhotoLibrary.h"

#include "catalog/SqliteDatabase.h"
#include "recovery/StoredFile.h"

namespace salvora {

std::optional<PhotoLibrary> readBackupPhotoLibrary(HeldFolders& backupFolders,
                                                   const CameraRoll& roll,
                                                   const UnlockedKeybag* keybag,
                                                   std::string& problem) {
    const FileRecord* record = roll.file(PhotoLibraryPath);
    if (record == nullptr) {
        problem = "Photos.sqlite is missing from this backup";
        return std::nullopt;
    }
    auto contents = readStoredContents(backupFolders, *record, keybag);
    if (!contents) {
        problem = "Photos.sqlite could not be read: " + contents.error().description();
        return std::nullopt;
    }
    auto database = SqliteDatabase::fromOwnedBytes(std::move(*contents));
    if (!database) {
        problem = "Photos.sqlite is not a database";
        return std::nullopt;
    }
    std::string schemaProblem;
    auto library = readPhotoLibrary(*database, schemaProblem);
    if (!library) problem = "Photos.sqlite " + schemaProblem;
    return library;
}

}  // namespace salvora
