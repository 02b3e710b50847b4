#pragma once

// Saving backed-up files out: every file of an application below a chosen folder, or one file
// to a chosen path. Each file's outcome is logged as the error slot ("(null)" when it was
// saved) and also returned, so front ends can tell the user. A saved file carries the
// modification time it had on the phone where the layout records one. The files of an
// encrypted backup are decrypted with the keybag it was unlocked with; without a keybag the
// backup is taken as plain, and any keys its records carry (backups decrypted by other tools
// keep them) are ignored.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"
#include "crypto/StoredFileDecryption.h"
#include "crypto/UnlockedKeybag.h"
#include "foundation/Error.h"

namespace salvora {

struct FileOutcome {
    std::string target;  // where the file was, or would have been, saved
    ErrorSlot error;     // empty when the file was saved
    // A saved file whose length is not the one recorded: saved whole all the same.
    std::optional<LengthWarning> warning{};
    // Where a saved file went instead of `target`, under a name the drive takes (or, with
    // portable names, every system takes); absent when it went to `target`.
    std::optional<std::string> savedAs{};
};

// How a save names what it makes.
struct SaveOptions {
    // Every name made safe for every system up front (SafeNames.h), for a folder that will be
    // copied to Windows later; otherwise names change only where the drive refuses them.
    bool portableNames = false;
};

// How far a save has come. Bytes count the sizes the catalogue records (0 where it records
// none); `current` is the "fullpath" of the file about to be saved, empty after the last.
struct SaveStatus {
    std::size_t filesDone = 0;
    std::size_t filesTotal = 0;
    std::uint64_t bytesDone = 0;
    std::uint64_t bytesTotal = 0;
    std::string_view current;
};

// Told before each file and once after the last; answering false stops the save before the
// next file, so a file is always saved whole or not begun.
using SaveProgress = std::function<bool(const SaveStatus& status)>;

// Saves every file below `destination` at its "fullpath", creating folders on the way; two log
// lines per file. A file or folder whose name the drive refuses is saved under a safe name
// (DestinationNames.h), and its outcome says where. Every file is attempted, whatever happened to
// the ones before, unless `progress` stops the save: the outcomes are then those of the files
// attempted.
std::vector<FileOutcome> saveAll(const std::string& deviceDirectory,
                                 const std::vector<FileRecord>& files,
                                 const std::string& destination, const SaveProgress& progress = {},
                                 const UnlockedKeybag* keybag = nullptr,
                                 const SaveOptions& options = {});

// Saves one file to exactly `target`, or beside it under a safe name where the drive refuses
// its name; one log line.
FileOutcome saveFile(const std::string& deviceDirectory, const FileRecord& file,
                     const std::string& target, const UnlockedKeybag* keybag = nullptr,
                     const SaveOptions& options = {});

// The name a save panel proposes for the file: the last component of its "fullpath".
std::string proposedFileName(const FileRecord& file);

}  // namespace salvora
