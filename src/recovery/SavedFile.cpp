#include "recovery/SavedFile.h"

#include <vector>

#include "crypto/StoredFileDecryption.h"
#include "foundation/Path.h"
#include "foundation/PropertyList.h"
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

namespace {

// The write way: the stored file is a property list whose "Data" holds the contents.
ErrorSlot writeDataOfPropertyList(const StoredFile& stored, const FileRecord& file,
                                  const OpenFolder& folder, std::string_view name) {
    ErrorSlot error;
    auto bytes = readFile(stored.folder, stored.name, &error);
    if (!bytes) return error;
    const std::string storedPath = stored.folder.pathOf(stored.name);
    PropertyList list = PropertyList::fromData(bytes->bytes());
    if (list.kind() != PropertyList::Kind::Dictionary)
        return Error{"Could not read", storedPath, "Not a property list dictionary"};
    auto data = list["Data"].data();
    if (!data) return Error{"Could not read", storedPath, "Holds no \"Data\" value"};
    return writeAtomically(*data, folder, name, file.modificationTime);
}

// An encrypted backup's file: the stored file decrypted piece by piece with the file's own
// key, which the keybag unwraps.
ErrorSlot writeDecryptedFile(const StoredFile& stored, const FileRecord& file,
                             const UnlockedKeybag* keybag, const OpenFolder& folder,
                             std::string_view name) {
    const std::string storedPath = stored.folder.pathOf(stored.name);
    if (keybag == nullptr)
        return Error{"Could not decrypt", storedPath,
                     "The backup is encrypted and has not been unlocked with its password"};
    ErrorSlot error;
    auto key = keybag->unwrapKey(*file.encryptionKey, &error);
    if (!key) {
        error->path = storedPath;
        return error;
    }
    auto input = openForReading(stored.folder, stored.name, &error);
    if (!input) return error;
    const std::string target = folder.pathOf(name);
    return createFile(
        folder, name,
        [&](int output) {
            return decryptStoredFile(input->get(), storedPath, *key, file.size,
                                     descriptorSink(output, target));
        },
        file.modificationTime);
}

}  // namespace

ErrorSlot produceSavedFile(HeldFolders& backupFolders, const FileRecord& file,
                           const OpenFolder& folder, std::string_view name,
                           const UnlockedKeybag* keybag) {
    ErrorSlot error;
    auto stored = openStoredFile(backupFolders, file.name, error);
    if (!stored) return error;
    if (file.isOldVersion()) return writeDataOfPropertyList(*stored, file, folder, name);
    if (file.encryptionKey) return writeDecryptedFile(*stored, file, keybag, folder, name);
    return copyItem(stored->folder, stored->name, folder, name, file.modificationTime);
}

}  // namespace salvora
