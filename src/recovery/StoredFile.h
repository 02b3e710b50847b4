#pragma once

// A backed-up file's stored form inside the backup folder, reached without a link, and its
// contents read whole into memory where a reader needs them (a database, say) rather than a
// saved copy.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/SecretKey.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "recovery/HeldFolders.h"

namespace salvora {

// The folder holding a stored file, reached through `backupFolders`, and its own name there.
struct StoredFile {
    const OpenFolder& folder;
    std::string name;
};

// Fails when the stored name could lead elsewhere or its folder can't be reached.
Result<StoredFile> openStoredFile(HeldFolders& backupFolders, const std::string& storedName);

// The key an encrypted file's record holds, unwrapped with the keybag its backup was unlocked
// with; the error names the stored file when it doesn't unwrap.
Result<SecretKey> storedFileKey(const StoredFile& stored, const FileRecord& file,
                                const UnlockedKeybag& keybag);

// The contents of a file stored the write way: a property list dictionary whose "Data" holds
// them. Fails, saying so, for anything else.
Result<std::vector<std::byte>> writeWayContents(const StoredFile& stored);

// The contents `file` stands for, up to their first `limit` bytes: the stored file as it is
// or, in a backup unlocked with `keybag`, decrypted, or for a record of the write way
// ("oldVersion") the "Data" of its property list. Nothing is written anywhere.
Result<std::vector<std::byte>> readStoredContents(HeldFolders& backupFolders,
                                                  const FileRecord& file,
                                                  const UnlockedKeybag* keybag,
                                                  std::size_t limit = SIZE_MAX);

}  // namespace salvora
