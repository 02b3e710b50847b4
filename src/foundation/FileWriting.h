#pragma once

// Making files in an open folder so that nobody ever sees one half made: contents go to a file
// without a name, or a temporary name, and take the file's name only once complete. Nothing is
// left behind on failure.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// The modification time a file is made with, in seconds since 1970; absent leaves the time
// of making. It is set before the file takes its name, so the file never shows another.
using ModificationTime = std::optional<std::int64_t>;

// How a new, complete file takes its name without replacing anything, in the order they are
// tried: an unnamed file linked in; a named temporary file renamed by a rename that refuses to
// replace; the same linked under the name; and where a drive has none of these (exFAT, FAT on
// FUSE) the name reserved by an empty placeholder made exclusively, which the temporary file
// is then renamed over.
enum class NamingWay { UnnamedFile, NoReplaceRename, HardLink, Placeholder };

// The ways each file system written to has refused, learnt from what it answered and kept by
// one save, so each file after the first takes the way that works there at once.
class NamingWays {
  public:
    // `first` is the first way tried on every file system: a later one forces the ways after it.
    explicit NamingWays(NamingWay first = NamingWay::UnnamedFile) : first_(first) {}

    NamingWay wayOn(std::uint64_t device) const;
    // The file system `device` has no such way: the next is tried from now on.
    void refuse(std::uint64_t device, NamingWay way);

  private:
    NamingWay first_;
    std::unordered_map<std::uint64_t, NamingWay> learnt_;
};

// The name to try after the folder refused `refused` for its characters (NameRefused) or its
// length (NameTooLong); absent gives up, and the refusal is the outcome.
using NextName =
    std::function<std::optional<std::string>(const std::string& refused, ErrorKind refusal)>;

// How a file is made: its date, the ways its save has learnt (null: learnt for this file only)
// and the names it may take instead of one the folder refuses (empty: none).
struct Making {
    ModificationTime modificationTime{};
    NamingWays* ways = nullptr;
    NextName nextName{};
};

// Copies the regular file `sourceName` of one open folder to `targetName` of another; every
// name must be one plain component. Fails, changing nothing, when the source is missing, a
// link or not a regular file, or when anything exists at the target. The name the copy took.
Result<std::string> copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                             const OpenFolder& targetFolder, std::string_view targetName,
                             const Making& making);
Status copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                const OpenFolder& targetFolder, std::string_view targetName,
                ModificationTime modificationTime = std::nullopt);

// Writes the bytes to the entry `name` of the folder: an existing file there is replaced whole,
// and a failed write leaves it as it was. The name the file took.
Result<std::string> writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                                    std::string_view name, const Making& making);
Status writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                       std::string_view name, ModificationTime modificationTime = std::nullopt);

// Writes the contents of a new file to the descriptor it is given; an error it returns stops
// the making and is passed on as it is.
using ContentsWriter = std::function<Status(int fd)>;

// Makes the new file `name` of the folder from what `write` writes, the way copyItem makes a
// copy: never replacing anything. Fails before `write` runs when anything exists at the name
// already. The name the file took.
Result<std::string> createFile(const OpenFolder& folder, std::string_view name,
                               const ContentsWriter& write, const Making& making);
Status createFile(const OpenFolder& folder, std::string_view name, const ContentsWriter& write,
                  ModificationTime modificationTime = std::nullopt);

}  // namespace salvora
