#pragma once

// Opening an encrypted backup with its password: the class keys for the run, and the
// "Manifest.db" decrypted into memory, never to a file beside the backup.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

// Reads "BackupKeyBag" from the folder's "Manifest.plist" and unlocks it with the password.
// A wrong password fails as ErrorKind::WrongPassword. Takes seconds.
Result<UnlockedKeybag> unlockBackup(const std::string& backupDirectory, std::string_view password);

// The folder's "Manifest.db" decrypted with the key that "ManifestKey" wraps, its padding
// stripped where it has one (tools that re-encrypt a backup leave it out). For an encrypted
// database only: one that isSQLiteDatabase() accepts as it stands is opened as it is. Fails
// unless the plaintext is an SQLite database: the key's unwrapping and that header prove the
// decryption.
Result<std::vector<std::byte>> decryptManifestDb(const std::string& backupDirectory,
                                                 const UnlockedKeybag& keybag);

}  // namespace salvora
