#pragma once

// New files written as unnamed files and linked in under their name once complete. Linux offers
// it (O_TMPFILE, and /proc/self/fd to name the file for the link); other systems don't, and new
// files go through a named temporary file there.
#include "foundation/Error.h"
#include "foundation/FileWriting.h"
#include "foundation/FolderEntry.h"

namespace salvora {

// Makes the new file `target`, one plain name in its folder, from what `write` writes into an
// unnamed file in its folder, linked in under the target's name once complete and dated: a single
// step in the folder, where a named temporary file takes three, and nothing to clean up when the
// program stops half way. The link fails on an existing name, so nothing is ever replaced. Fails
// as Unsupported, before anything is written, when unnamed files can't be used here.
Status makeThroughUnnamedFile(const FolderEntry& target, const char* operation,
                              ModificationTime modificationTime, const ContentsWriter& write);

// The failure that sends the caller to a named temporary file.
inline Error unnamedFilesUnavailable(const FolderEntry& target, const char* operation) {
    return {operation, target.shown, "Unnamed files can't be made here", ErrorKind::Unsupported};
}

}  // namespace salvora
