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
        auto read = addManifestDbFilesFromDirectory(directory, applications);
        if (!read) reading.damaged(read.error().reason);
        reading.recordsRead = fileCount(applications) - before;
        return reading;
    }
    if (keybag == nullptr)
        return Error{"Could not decrypt", path, "The backup has not been unlocked"};
    auto plaintext = decryptManifestDb(directory, *keybag);
    if (!plaintext) return plaintext.error();
    auto database = SqliteDatabase::fromOwnedBytes(std::move(*plaintext));
    if (!database) return Error{"Could not read", path, database.error().reason};
    if (Status read = addManifestDbFiles(*database, applications); !read)
        reading.damaged(read.error().reason);
    reading.recordsRead = fileCount(applications) - before;
    return reading;
}

}  // namespace salvora
