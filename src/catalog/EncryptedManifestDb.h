#pragma once

// "Manifest.db" in an encrypted backup, and how the catalogue tells that a backup is encrypted
// at all: by what its files are, never by "IsEncrypted" alone.
#include <string>

#include "catalog/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

enum class ManifestDbReading {
    Read,    // read, or passed over as the plain reader passes over what it can't read
    Locked,  // encrypted, and no keybag to decrypt it with
    Failed   // encrypted, and it doesn't decrypt with the keybag
};

// Reads folder/"Manifest.db". One that is an SQLite database as it stands is read the plain
// way, whatever "IsEncrypted" claims. One that isn't, in a backup whose "Manifest.plist" says
// it is encrypted or holds a "ManifestKey", is decrypted into memory with the keybag (nothing
// is written beside the backup); without a keybag it is Locked. Anything else is passed over.
ManifestDbReading addManifestDbFilesOfBackup(const std::string& directory,
                                             const UnlockedKeybag* keybag,
                                             ApplicationMap& applications, ErrorSlot& error);

// Whether any file of the catalogue is stored encrypted: the iOS 5 to 10.1 backups, whose
// catalogue is plain, tell their encryption only this way.
bool holdsEncryptedFiles(const ApplicationMap& applications);

}  // namespace salvora
