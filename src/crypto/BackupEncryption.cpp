#include "crypto/BackupEncryption.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "foundation/BackupFileNames.h"
#include "foundation/FileDescriptor.h"
#include "foundation/FileQueries.h"
#include "foundation/Path.h"
#include "plist/PropertyList.h"
#include "sqlite/SqliteFileHeader.h"

namespace salvora {
namespace {

std::optional<std::vector<std::byte>> dataOf(const PropertyList& value) {
    auto bytes = value.data();
    if (!bytes) return std::nullopt;
    return std::vector<std::byte>(bytes->begin(), bytes->end());
}

}  // namespace

std::optional<BackupEncryption> readBackupEncryption(const std::string& backupDirectory) {
    PropertyList manifest = PropertyList::dictionaryFromFile(
        appendingPathComponent(backupDirectory, ManifestPlistName));
    if (!manifest.isPresent()) return std::nullopt;
    return BackupEncryption{manifest["IsEncrypted"].boolean().value_or(false),
                            dataOf(manifest["BackupKeyBag"]), dataOf(manifest["ManifestKey"])};
}

BackupProtection judgeBackupProtection(const std::string& backupDirectory) {
    const auto in = [&backupDirectory](std::string_view name) {
        return appendingPathComponent(backupDirectory, name);
    };
    const std::optional<BackupEncryption> encryption = readBackupEncryption(backupDirectory);
    const bool claimed = encryption && encryption->isEncrypted;
    const bool withKeybag = encryption && encryption->backupKeyBag;
    const bool withManifestKey = encryption && encryption->manifestKey;

    BackupProtection protection;
    if (fileExists(in(ManifestDbName))) {
        if (isSQLiteDatabase(in(ManifestDbName))) {
            protection.filesEncrypted = claimed && withKeybag && !withManifestKey;
        } else if (claimed || withManifestKey) {
            protection.catalogueEncrypted = protection.filesEncrypted = withKeybag;
            protection.keybagMissing = !withKeybag;
        }
    } else if (fileExists(in(ManifestMbdbName)) && !fileExists(in(ManifestMbdxName))) {
        protection.filesEncrypted = claimed && withKeybag;
    }
    return protection;
}

bool isSQLiteDatabase(const std::string& path) {
    int errorNumber = 0;
    FileDescriptor input(openRegularFileForReading(path, 0, errorNumber));
    if (!input.valid()) return false;
    std::array<std::byte, sqliteFileHeader.size()> header{};
    return readUpTo(input.get(), header) == static_cast<long>(header.size()) &&
           startsWithSQLiteHeader(header);
}

}  // namespace salvora
