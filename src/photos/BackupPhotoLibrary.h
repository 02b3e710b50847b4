#pragma once

// The camera roll's "Photos.sqlite" read from a backup into memory, decrypted there when the
// backup is encrypted; nothing is written beside the backup or anywhere else.
#include <optional>
#include <string>

#include "crypto/UnlockedKeybag.h"
#include "photos/CameraRoll.h"
#include "photos/PhotoLibrary.h"
#include "recovery/HeldFolders.h"

namespace salvora {

// Absent, with a sentence saying why ("Photos.sqlite is missing from this backup"), when the
// backup holds no database, or one that can't be read or is of a schema this version doesn't
// know.
[[nodiscard]] std::optional<PhotoLibrary> readBackupPhotoLibrary(HeldFolders& backupFolders,
                                                                 const CameraRoll& roll,
                                                                 const UnlockedKeybag* keybag,
                                                                 std::string& problem);

}  // namespace salvora
