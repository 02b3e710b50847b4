#include "recovery/StoredFile.h"

#include "crypto/StoredFileDecryption.h"
#include "foundation/FileReading.h"
#include "foundation/Path.h"
#include "recovery/RelativePath.h"

namespace salvora {

std::optional<StoredFile> openStoredFile(HeldFolders& backupFolders, const std::string& storedName,
                                         ErrorSlot& error) {
    if (auto problem = relativePathProblem(storedName, "the backup folder")) {
        error = Error{"Refused to read", appendingPathComponent(backupFolders.base(), storedName),
                      "The stored name " + *problem};
        return std::nullopt;
    }
    std::vector<std::string_view> levels = pathComponents(storedName);
    std::string name(levels.back());
    levels.pop_back();
    const OpenFolder* folder = backupFolders.folderFor(levels, error);
    if (folder == nullptr) return std::nullopt;
    return StoredFile{*folder, std::move(name)};
}

std::optional<SecretKey> storedFileKey(const StoredFile& stored, const FileRecord& file,
                                       const UnlockedKeybag& keybag, ErrorSlot& error) {
    auto key = keybag.unwrapKey(*file.encryptionKey(), &error);
    if (!key) error->path = stored.folder.pathOf(stored.name);
    return key;
}

std::optional<std::vector<std::byte>> readStoredContents(HeldFolders& backupFolders,
                                                         const FileRecord& file,
                                                         const UnlockedKeybag* keybag,
                                                         ErrorSlot& error) {
    auto stored = openStoredFile(backupFolders, std::string(file.name()), error);
    if (!stored) return std::nullopt;
    const std::string storedPath = stored->folder.pathOf(stored->name);
    if (file.isOldVersion()) {
        error = Error{"Could not read", storedPath, "Stored inside a property list"};
        return std::nullopt;
    }
    std::vector<std::byte> contents;
    if (keybag == nullptr || !file.encryptionKey()) {
        auto bytes = readFile(stored->folder, stored->name, &error);
        if (!bytes) return std::nullopt;
        contents.assign(bytes->bytes().begin(), bytes->bytes().end());
        return contents;
    }
    auto key = storedFileKey(*stored, file, *keybag, error);
    if (!key) return std::nullopt;
    auto input = openForReading(stored->folder, stored->name, &error);
    if (!input) return std::nullopt;
    error = decryptStoredFile(input->get(), storedPath, *key, file.size(),
                              [&](std::span<const std::byte> piece) -> ErrorSlot {
                                  contents.insert(contents.end(), piece.begin(), piece.end());
                                  return std::nullopt;
                              })
                .error;
    if (error) return std::nullopt;
    return contents;
}

}  // namespace salvora
