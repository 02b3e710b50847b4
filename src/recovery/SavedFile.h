#pragma once

// The one place where a saved file comes into being, so that saving all and saving one file
// give the same bytes the same way.
#include <optional>
#include <string>
#include <string_view>

#include "catalog/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "foundation/FileManager.h"
#include "recovery/HeldFolders.h"

namespace salvora {

// The stored file a record names: the folder holding it, reached inside the backup folder
// without a link, and its own name there.
struct StoredFile {
    const OpenFolder& folder;
    std::string name;
};
std::optional<StoredFile> openStoredFile(HeldFolders& backupFolders, const std::string& storedName,
                                         ErrorSlot& error);

// Produces the file that `file` stands for as the entry `name` of `folder`: for a record of
// the write way ("oldVersion" true), the "Data" of the stored property list, written
// atomically and replacing what is there; otherwise a copy of the stored file, which never
// replaces anything; for a record with an encryption key, the stored file decrypted with its
// key from `keybag`, made the way a copy is made, so that a file that fails to decrypt leaves
// nothing behind. The stored file must be a regular file reached inside the backup folder
// without a link, through `backupFolders` (held below the backup folder, nothing made there).
// The file carries the record's modification time when it has one. Empty when
// the file was saved.
ErrorSlot produceSavedFile(HeldFolders& backupFolders, const FileRecord& file,
                           const OpenFolder& folder, std::string_view name,
                           const UnlockedKeybag* keybag = nullptr);

}  // namespace salvora
