#include "recovery/StoredFile.h"

#include <sys/stat.h>

#include <algorithm>

#include "crypto/StoredFileDecryption.h"
#include "foundation/FileReading.h"
#include "foundation/Path.h"
#include "plist/PropertyList.h"
#include "recovery/RelativePath.h"

namespace salvora {

Result<StoredFile> openStoredFile(HeldFolders& backupFolders, const std::string& storedName) {
    if (Status sound = soundRelativePath(storedName, "the backup folder"); !sound)
        return Error{"Refused to read", appendingPathComponent(backupFolders.base(), storedName),
                     "The stored name " + sound.error().reason};
    std::vector<std::string_view> levels = pathComponents(storedName);
    std::string name(levels.back());
    levels.pop_back();
    auto folder = backupFolders.folderFor(levels);
    if (!folder) return folder.error();
    return StoredFile{**folder, std::move(name)};
}

Result<SecretKey> storedFileKey(const StoredFile& stored, const FileRecord& file,
                                const UnlockedKeybag& keybag) {
    auto key = keybag.unwrapKey(*file.encryptionKey());
    if (key) return key;
    Error error = key.error();
    error.path = stored.folder.pathOf(stored.name);
    return error;
}

Result<std::vector<std::byte>> readStoredContents(HeldFolders& backupFolders,
                                                  const FileRecord& file,
                                                  const UnlockedKeybag* keybag, std::size_t limit) {
    auto stored = openStoredFile(backupFolders, file.name());
    if (!stored) return stored.error();
    const std::string storedPath = stored->folder.pathOf(stored->name);
    if (file.isOldVersion()) {
        auto data = writeWayContents(*stored);
        if (data && data->size() > limit) data->resize(limit);
        return data;
    }
    if (keybag == nullptr || !file.encryptionKey())
        return readFileIntoVector(stored->folder, stored->name, limit);
    auto key = storedFileKey(*stored, file, *keybag);
    if (!key) return key.error();
    auto input = openForReading(stored->folder, stored->name);
    if (!input) return input.error();
    std::vector<std::byte> contents;
    // The plaintext is at most the ciphertext: held once, never regrown (a database of a GiB
    // would be held twice while its vector grew).
    struct stat status {};
    if (::fstat(input->get(), &status) == 0)
        contents.reserve(std::min(limit, static_cast<std::size_t>(status.st_size)));
    auto keep = [&](std::span<const std::byte> piece) -> Status {
        const std::size_t kept = std::min(piece.size(), limit - contents.size());
        contents.insert(contents.end(), piece.begin(),
                        piece.begin() + static_cast<std::ptrdiff_t>(kept));
        return {};
    };
    auto decryption = decryptStoredFile(input->get(), storedPath, *key, file.size(), keep, limit);
    if (!decryption) return decryption.error();
    return contents;
}

Result<std::vector<std::byte>> writeWayContents(const StoredFile& stored) {
    auto bytes = readFile(stored.folder, stored.name);
    if (!bytes) return bytes.error();
    const std::string storedPath = stored.folder.pathOf(stored.name);
    PropertyList list = PropertyList::fromData(bytes->bytes());
    if (list.kind() != PropertyList::Kind::Dictionary)
        return Error{"Could not read", storedPath, "Not a property list dictionary"};
    auto data = list["Data"].data();
    if (!data) return Error{"Could not read", storedPath, "Holds no \"Data\" value"};
    return std::vector<std::byte>(data->begin(), data->end());
}

}  // namespace salvora
