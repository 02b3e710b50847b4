#include "crypto/BackupUnlock.h"

#include <filesystem>
#include <new>

#include "crypto/BackupEncryption.h"
#include "crypto/StoredFileDecryption.h"
#include "foundation/BackupFileNames.h"
#include "foundation/Path.h"
#include "sqlite/SqliteFileHeader.h"

namespace salvora {
namespace {

// Names the file an error came from, where the step that failed didn't know it.
Error locatedAt(Error error, const std::string& path) {
    if (error.path.empty()) error.path = path;
    return error;
}

// The page size an SQLite header gives; 0 for a header too short or a size no database has.
std::size_t sqlitePageSize(std::span<const std::byte> database) {
    if (database.size() < 18) return 0;
    const std::size_t size = std::to_integer<std::size_t>(database[16]) << 8 |
                             std::to_integer<std::size_t>(database[17]);
    if (size == 1) return 65536;
    const bool powerOfTwo = (size & (size - 1)) == 0;
    return size >= 512 && powerOfTwo ? size : 0;
}

// A database is a whole number of pages. Some tools encrypt it without padding, and its last
// bytes can then look like padding by chance: they are put back where only they make the
// database whole.
void restoreEndTakenForPadding(std::vector<std::byte>& database, std::size_t padding) {
    const std::size_t pageSize = sqlitePageSize(database);
    if (padding == 0 || pageSize == 0 || database.size() % pageSize == 0 ||
        (database.size() + padding) % pageSize != 0)
        return;
    database.insert(database.end(), padding, static_cast<std::byte>(padding));
}

}  // namespace

Result<UnlockedKeybag> unlockBackup(const std::string& backupDirectory, std::string_view password) {
    const std::string manifestPath = appendingPathComponent(backupDirectory, ManifestPlistName);
    auto encryption = readBackupEncryption(backupDirectory);
    if (!encryption) return Error{"Could not read", manifestPath, "No readable property list"};
    if (!encryption->backupKeyBag)
        return Error{"Could not unlock", manifestPath, "It has no BackupKeyBag"};

    auto keybag = parseKeybag(*encryption->backupKeyBag);
    if (!keybag) return locatedAt(keybag.error(), manifestPath);
    auto unlocked = unlockKeybag(*keybag, password);
    if (!unlocked) return locatedAt(unlocked.error(), manifestPath);
    return unlocked;
}

Result<std::vector<std::byte>> decryptManifestDb(const std::string& backupDirectory,
                                                 const UnlockedKeybag& keybag) {
    const std::string manifestPath = appendingPathComponent(backupDirectory, ManifestPlistName);
    const std::string databasePath = appendingPathComponent(backupDirectory, ManifestDbName);
    auto encryption = readBackupEncryption(backupDirectory);
    if (!encryption || !encryption->manifestKey)
        return Error{"Could not decrypt", databasePath, "\"Manifest.plist\" holds no ManifestKey"};
    auto key = keybag.unwrapKey(*encryption->manifestKey);
    if (!key) return locatedAt(key.error(), manifestPath);

    std::vector<std::byte> plaintext;
    auto append = [&plaintext](std::span<const std::byte> piece) -> Status {
        plaintext.insert(plaintext.end(), piece.begin(), piece.end());
        return {};
    };
    try {
        std::error_code sizeUnknown;
        auto size = std::filesystem::file_size(std::filesystem::u8path(databasePath), sizeUnknown);
        if (!sizeUnknown) plaintext.reserve(static_cast<std::size_t>(size));
        auto decryption = decryptStoredFile(databasePath, *key, std::nullopt, append);
        if (!decryption) return decryption.error();
        restoreEndTakenForPadding(plaintext, decryption->strippedPadding);
    } catch (const std::bad_alloc&) {
        return Error{"Could not decrypt", databasePath, "It is too large to decrypt in memory"};
    }
    if (!startsWithSQLiteHeader(plaintext))
        return Error{"Could not decrypt", databasePath,
                     "It does not decrypt to an SQLite database"};
    return plaintext;
}

}  // namespace salvora
