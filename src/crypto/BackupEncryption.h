#pragma once

// What a backup folder tells about its encryption, before any password is asked for.
#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace salvora {

// The encryption entries of "Manifest.plist".
struct BackupEncryption {
    bool isEncrypted = false;                            // "IsEncrypted"; missing reads as false
    std::optional<std::vector<std::byte>> backupKeyBag;  // "BackupKeyBag"
    std::optional<std::vector<std::byte>> manifestKey;   // "ManifestKey", from iOS 10.2 on
};

// Absent when the folder has no "Manifest.plist" that reads as a dictionary.
std::optional<BackupEncryption> readBackupEncryption(const std::string& backupDirectory);

// Whether the bytes begin with "SQLite format 3" and its terminating zero byte.
bool startsWithSQLiteHeader(std::span<const std::byte> bytes);

// Whether the file at `path` is an SQLite database as it stands: the test that tells a plain
// "Manifest.db" from an encrypted one, whatever "IsEncrypted" claims.
bool isSQLiteDatabase(const std::string& path);

}  // namespace salvora
