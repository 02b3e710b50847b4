#pragma once

// Making files in an open folder so that nobody ever sees one half made: contents go to a file
// without a name, or a temporary name, and take the file's name only once complete. Nothing is
// left behind on failure.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// The modification time a file is made with, in seconds since 1970; absent leaves the time
// of making. It is set before the file takes its name, so the file never shows another.
using ModificationTime = std::optional<std::int64_t>;

// Copies the regular file `sourceName` of one open folder to `targetName` of another; every
// name must be one plain component. Fails, changing nothing, when the source is missing, a
// link or not a regular file, or when anything exists at the target.
Status copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                const OpenFolder& targetFolder, std::string_view targetName,
                ModificationTime modificationTime = std::nullopt);

// Writes the bytes to the entry `name` of the folder: an existing file there is replaced whole,
// and a failed write leaves it as it was.
Status writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                       std::string_view name, ModificationTime modificationTime = std::nullopt);

// Writes the contents of a new file to the descriptor it is given; an error it returns stops
// the making and is passed on as it is.
using ContentsWriter = std::function<Status(int fd)>;

// Makes the new file `name` of the folder from what `write` writes, the way copyItem makes a
// copy: never replacing anything. Fails before `write` runs when anything exists at the name
// already.
Status createFile(const OpenFolder& folder, std::string_view name, const ContentsWriter& write,
                  ModificationTime modificationTime = std::nullopt);

}  // namespace salvora
