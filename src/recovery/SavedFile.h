#pragma once

// The one place where a saved file comes into being, so that saving all and saving one file
// give the same bytes the same way.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/model/Records.h"
#include "crypto/StoredFileDecryption.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "recovery/DestinationNames.h"
#include "recovery/HeldFolders.h"

namespace salvora {

// Produces the file that `file` stands for as the entry `name` of `folder`: for a record of
// the write way ("oldVersion" true), the "Data" of the stored property list, written
// atomically and replacing what is there; otherwise a copy of the stored file, which never
// replaces anything; in a backup unlocked with `keybag`, a record's file with an encryption
// key is decrypted with that key, made the way a copy is made, so that a file that fails to
// decrypt leaves nothing behind. A file that decrypts to a length other than recorded is
// saved, and `warning` (when given) says so. The stored file must be a regular file reached inside
// the backup folder without a link, through `backupFolders` (held below the backup folder, nothing
// made there). The file carries `modificationTime` when given, else the record's modification
// time when it has one. With `names`, the file takes the name they give first and another
// where the folder refuses it. The name the file took.
Result<std::string> produceSavedFile(HeldFolders& backupFolders, const FileRecord& file,
                                     const OpenFolder& folder, const std::string& name,
                                     const UnlockedKeybag* keybag = nullptr,
                                     std::optional<LengthWarning>* warning = nullptr,
                                     std::optional<std::int64_t> modificationTime = std::nullopt,
                                     DestinationNames* names = nullptr);

}  // namespace salvora
