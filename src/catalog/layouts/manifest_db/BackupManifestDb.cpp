#include "catalog/layouts/manifest_db/BackupManifestDb.h"

#include "catalog/layouts/manifest_db/ManifestDbReader.h"
#include "crypto/BackupUnlock.h"
#include "foundation/BackupFileNames.h"
#include "foundation/Path.h"
#include "sqlite/SqliteDatabase.h"

namespace salvora {

Status addManifestDbFilesOfBackup(const std::string& directory, const BackupProtection& protection,
                                  const UnlockedKeybag* keybag, ApplicationMap& applications) {
    if (!protection.catalogueEncrypted) {
        addManifestDbFilesFromDirectory(directory, applications);
        return {};
    }
    const std::string path = appendingPathComponent(directory, ManifestDbName);
    if (keybag == nullptr)
        return Error{"Could not decrypt", path, "The backup has not been unlocked"};
    auto plaintext = decryptManifestDb(directory, *keybag);
    if (!plaintext) return plaintext.error();
    auto database = SqliteDatabase::fromOwnedBytes(std::move(*plaintext));
    if (!database) return Error{"Could not read", path, "SQLite refuses the decrypted database"};
    addManifestDbFiles(*database, applications);
    return {};
}

}  // namespace salvora
