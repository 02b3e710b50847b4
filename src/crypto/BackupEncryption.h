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
[[nodiscard]] std::optional<BackupEncryption> readBackupEncryption(
    const std::string& backupDirectory);

// Whether a backup's catalogue and files must be decrypted, judged from what the folder holds.
// Tools that decrypt a backup leave traces of its encryption behind (every record's key, a
// "Manifest.plist" that still holds the keybag), so no single flag or key decides:
// - "Manifest.db" that is an SQLite database as it stands: the catalogue is plain, and the
//   files are encrypted only when "IsEncrypted" is true and there is a "BackupKeyBag" but no
//   "ManifestKey" (iOS 10.0 and 10.1; from 10.2 on an encrypted backup's database is encrypted
//   too, so a plain one beside a "ManifestKey" was decrypted by another tool).
// - "Manifest.db" that is not, where "IsEncrypted" or a "ManifestKey" says it is encrypted:
//   catalogue and files are encrypted, or keybagMissing when there is no "BackupKeyBag".
//   Without that claim it is a damaged file, passed over.
// - The iOS 5 to 9 "Manifest.mbdb" without index: its catalogue is plain, and its files are
//   encrypted only when "IsEncrypted" is true and there is a "BackupKeyBag".
// Older layouts are never decrypted.
struct BackupProtection {
    bool catalogueEncrypted = false;
    bool filesEncrypted = false;
    bool keybagMissing = false;

    bool isEncrypted() const { return filesEncrypted || keybagMissing; }
};

BackupProtection judgeBackupProtection(const std::string& backupDirectory);


// Whether the file at `path` is an SQLite database as it stands: the test that tells a plain
// "Manifest.db" from an encrypted one, whatever "IsEncrypted" claims.
bool isSQLiteDatabase(const std::string& path);

}  // namespace salvora
