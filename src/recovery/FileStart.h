#pragma once

// A backed-up file read for a look, not saved: the start of its contents, read the way a save
// reads them, into memory only.
#include <cstddef>
#include <string>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

struct FileStart {
    std::vector<std::byte> bytes;  // at most the limit asked for
    bool whole = false;            // the bytes are the whole file
};

// The first `limit` bytes of the file the record stands for: the "Data" of a stored property
// list, the stored file itself, or in a backup unlocked with `keybag` an encrypted one
// decrypted in memory.
// Nothing is written anywhere.
Result<FileStart> readFileStart(const std::string& deviceDirectory, const FileRecord& file,
                                std::size_t limit, const UnlockedKeybag* keybag);

}  // namespace salvora
