#pragma once

// What stands at an entry of an open folder, and a second name for a file there: what an
// export needs to tell a file it made before from one it must not touch.
#include <cstdint>
#include <optional>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

struct EntryStatus {
    bool regularFile = false;  // a link is never followed, so a link is not one
    std::uint64_t size = 0;
    std::int64_t modificationTime = 0;  // whole seconds since 1970
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// Absent when nothing is there (or the name is not one plain component).
[[nodiscard]] std::optional<EntryStatus> entryStatus(const OpenFolder& folder,
                                                     std::string_view name);

// Gives the regular file `sourceName` of `sourceFolder` the new name `targetName` in
// `targetFolder` (a hard link). Never replaces anything and never follows a link. Fails as
// Unsupported, having changed nothing, when links can't be made there (another file system,
// one without hard links, too many links to the file), so the caller can copy instead.
Status linkItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                const OpenFolder& targetFolder, std::string_view targetName);

}  // namespace salvora
