#pragma once

// "Manifest.db" in an encrypted backup.
#include <string>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/model/Records.h"
#include "crypto/BackupEncryption.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

// Reads folder/"Manifest.db": the plain way, unless `protection` says the catalogue is
// encrypted; then it is decrypted into memory with the keybag (nothing is written beside the
// backup), which takes the keybag it was unlocked with. The error tells why an encrypted one
// adds nothing; the reading, how far a plain or decrypted one was read (an empty layout when
// the folder has none).
Result<LayoutReading> addManifestDbFilesOfBackup(const std::string& directory,
                                                 const BackupProtection& protection,
                                                 const UnlockedKeybag* keybag,
                                                 ApplicationMap& applications);

}  // namespace salvora
