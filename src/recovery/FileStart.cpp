#include "recovery/FileStart.h"

#include <algorithm>

#include "recovery/HeldFolders.h"
#include "recovery/StoredFile.h"

namespace salvora {
namespace {

FileStart startOf(std::span<const std::byte> contents, std::size_t limit) {
    const std::size_t kept = std::min(contents.size(), limit);
    return {{contents.begin(), contents.begin() + static_cast<std::ptrdiff_t>(kept)},
            kept == contents.size()};
}

}  // namespace

Result<FileStart> readFileStart(const std::string& deviceDirectory, const FileRecord& file,
                                std::size_t limit, const UnlockedKeybag* keybag) {
    HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
    // One byte beyond the limit tells whether there is more.
    auto contents = readStoredContents(backupFolders, file, keybag, limit + 1);
    if (!contents) return contents.error();
    return startOf(*contents, limit);
}

}  // namespace salvora
