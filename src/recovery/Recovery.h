#pragma once

// Saving backed-up files out: every file of an application below a chosen folder, or one file
// to a chosen path. Each file's outcome is logged as the error slot ("(null)" when it was
// saved) and also returned, so front ends can tell the user. A saved file carries the
// modification time it had on the phone where the layout records one. The files of an
// encrypted backup are decrypted with the keybag it was unlocked with; without a keybag the
// backup is taken as plain, and any keys its records carry (backups decrypted by other tools
// keep them) are ignored.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "catalog/Records.h"
#include "crypto/StoredFileDecryption.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

struct FileOutcome {
    std::string target;  // where the file was, or would have been, saved
    ErrorSlot error;     // empty when the file was saved
    // A saved file whose length is not the one recorded: saved whole all the same.
    std::optional<LengthWarning> warning{};
};

// Called after each file with the number of files done and the total.
using SaveProgress = std::function<void(std::size_t done, std::size_t total)>;

// Saves every file below `destination` at its "fullpath", creating folders on the way; two log
// lines per file. Every file is attempted, whatever happened to the ones before.
std::vector<FileOutcome> saveAll(const std::string& deviceDirectory,
                                 const std::vector<FileRecord>& files,
                                 const std::string& destination, const SaveProgress& progress = {},
                                 const UnlockedKeybag* keybag = nullptr);

// Saves one file to exactly `target`; one log line.
FileOutcome saveFile(const std::string& deviceDirectory, const FileRecord& file,
                     const std::string& target, const UnlockedKeybag* keybag = nullptr);

// The name a save panel proposes for the file: the last component of its "fullpath".
std::string proposedFileName(const FileRecord& file);

}  // namespace salvora
