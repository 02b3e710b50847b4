#include "catalog/EncryptedManifestDb.h"

#include <algorithm>

#include "catalog/ManifestDbReader.h"
#include "catalog/SqliteDatabase.h"
#include "crypto/BackupEncryption.h"
#include "crypto/BackupUnlock.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

// A database that is no SQLite database is taken as encrypted only where the manifest
// backs that up; otherwise it is just a damaged file, passed over like any other.
bool manifestSaysEncrypted(const std::string& directory) {
    auto encryption = readBackupEncryption(directory);
    return encryption && (encryption->isEncrypted || encryption->manifestKey);
}

}  // namespace

ManifestDbReading addManifestDbFilesOfBackup(const std::string& directory,
                                             const UnlockedKeybag* keybag,
                                             ApplicationMap& applications, ErrorSlot& error) {
    const std::string path = appendingPathComponent(directory, ManifestDbName);
    if (!fileExists(path)) return ManifestDbReading::Read;
    if (isSQLiteDatabase(path) || !manifestSaysEncrypted(directory)) {
        addManifestDbFilesFromDirectory(directory, applications);
        return ManifestDbReading::Read;
    }
    if (keybag == nullptr) return ManifestDbReading::Locked;
    auto plaintext = decryptManifestDb(directory, *keybag, &error);
    if (!plaintext) return ManifestDbReading::Failed;
    auto database = SqliteDatabase::fromOwnedBytes(std::move(*plaintext));
    if (!database) {
        error = Error{"Could not read", path, "SQLite refuses the decrypted database"};
        return ManifestDbReading::Failed;
    }
    addManifestDbFiles(*database, applications);
    return ManifestDbReading::Read;
}

bool holdsEncryptedFiles(const ApplicationMap& applications) {
    return std::any_of(applications.begin(), applications.end(), [](const auto& entry) {
        const auto& files = entry.second->files;
        return std::any_of(files.begin(), files.end(),
                           [](const FileRecord& file) { return file.encryptionKey.has_value(); });
    });
}

}  // namespace salvora
