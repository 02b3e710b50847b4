#include "catalog/layouts/manifest_db/BackupManifestDb.h"

#include "catalog/layouts/manifest_db/ManifestDbReader.h"
#include "crypto/BackupUnlock.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

Result<LayoutReading> addManifestDbFilesOfBackup(const std::string& directory,
                                                 const BackupProtection& protection,
                                                 const UnlockedKeybag* keybag,
                                                 ApplicationMap& applications) {
    const std::string path = appendingPathComponent(directory, ManifestDbName);
    if (!protection.catalogueEncrypted && !fileExists(path)) return LayoutReading();
    LayoutReading reading{std::string(ManifestDbName)};
    const std::size_t before = fileCount(applications);
    if (!protection.catalogueEncrypted) {
        // The reader tells only whether it read anything: a database with no Files table, or
        // bytes SQLite refuses, read alike.
        if (addManifestDbFilesFromDirectory(directory, applications) == ManifestDbReading::Nothing)
            reading.damaged("not a database with a Files table");
        reading.recordsRead = fileCount(applications) - before;
        return reading;
    }
    if (keybag == nullptr)
        return Error{"Could not decrypt", path, "The backup has not been unlocked"};
    auto plaintext = decryptManifestDb(directory, *keybag);
    if (!plaintext) return plaintext.error();
    auto database = SqliteDatabase::fromOwnedBytes(std::move(*plaintext));
    if (!database) return Error{"Could not read", path, "SQLite refuses the decrypted database"};
    addManifestDbFiles(*database, applications);
    reading.recordsRead = fileCount(applications) - before;
    return reading;
}

}  // namespace salvora
