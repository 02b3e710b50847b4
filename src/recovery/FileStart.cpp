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

Result<FileStart> dataOfPropertyList(HeldFolders& backupFolders, const FileRecord& file,
                                     std::size_t limit) {
    auto stored = openStoredFile(backupFolders, file.name());
    if (!stored) return stored.error();
    Result<std::vector<std::byte>> data = writeWayContents(*stored);
    if (!data) return data.error();
    return startOf(*data, limit);
}

}  // namespace

Result<FileStart> readFileStart(const std::string& deviceDirectory, const FileRecord& file,
                                std::size_t limit, const UnlockedKeybag* keybag) {
    HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
    if (file.isOldVersion()) return dataOfPropertyList(backupFolders, file, limit);
    // One byte beyond the limit tells whether there is more.
    auto contents = readStoredContents(backupFolders, file, keybag, limit + 1);
    if (!contents) return contents.error();
    return startOf(*contents, limit);
}

}  // namespace salvora
