#pragma once

// The camera roll's "Photos.sqlite" opened as the phone left it, its "-wal" applied where the
// backup holds one, decrypted in memory when the backup is encrypted; nothing is written
// beside the backup or anywhere else.
#include <optional>
#include <string>

#include "crypto/UnlockedKeybag.h"
#include "recovery/HeldFolders.h"
#include "sources/photos/CameraRoll.h"
#include "sources/photos/PhotoLibrary.h"

namespace salvora {

struct BackupPhotoLibrary {
    std::optional<PhotoLibrary> library;
    // Absent with a library; else a sentence saying why ("Photos.sqlite is missing from this
    // backup"): no database, one that can't be read, or one of a schema this version doesn't
    // know.
    std::optional<std::string> problem{};
    // Why the database's "-wal" was left out, when there was one SQLite could not use.
    std::optional<std::string> walWarning{};
};

[[nodiscard]] BackupPhotoLibrary readBackupPhotoLibrary(HeldFolders& backupFolders,
                                                        const CameraRoll& roll,
                                                        const UnlockedKeybag* keybag);

}  // namespace salvora
