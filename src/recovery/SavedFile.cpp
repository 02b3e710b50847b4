#include "recovery/SavedFile.h"

#include <vector>

#include "crypto/StoredFileDecryption.h"
#include "foundation/FileReading.h"
#include "foundation/FileWriting.h"
#include "foundation/Path.h"
#include "recovery/StoredFile.h"

namespace salvora {
namespace {

// The write way: the stored file is a property list whose "Data" holds the contents.
Result<std::string> writeDataOfPropertyList(const StoredFile& stored, const OpenFolder& folder,
                                            const std::string& name, const Making& making) {
    Result<std::vector<std::byte>> data = writeWayContents(stored);
    if (!data) return data.error();
    return writeAtomically(*data, folder, name, making);
}

// An encrypted backup's file: the stored file decrypted piece by piece with the file's own
// key, which the keybag unwraps.
Result<std::string> writeDecryptedFile(const StoredFile& stored, const FileRecord& file,
                                       const UnlockedKeybag& keybag, const OpenFolder& folder,
                                       const std::string& name, const Making& making,
                                       std::optional<LengthWarning>* warning) {
    const std::string storedPath = stored.folder.pathOf(stored.name);
    auto key = storedFileKey(stored, file, keybag);
    if (!key) return key.error();
    auto input = openForReading(stored.folder, stored.name);
    if (!input) return input.error();
    const std::string target = folder.pathOf(name);
    return createFile(
        folder, name,
        [&](int output) -> Status {
            auto decryption = decryptStoredFile(input->get(), storedPath, *key, file.size(),
                                                descriptorSink(output, target));
            if (!decryption) return decryption.error();
            if (warning != nullptr) *warning = decryption->warning;
            return {};
        },
        making);
}

}  // namespace

Result<std::string> produceSavedFile(HeldFolders& backupFolders, const FileRecord& file,
                                     const OpenFolder& folder, const std::string& name,
                                     const UnlockedKeybag* keybag,
                                     std::optional<LengthWarning>* warning,
                                     std::optional<std::int64_t> modificationTime,
                                     DestinationNames* names) {
    const std::optional<std::int64_t> date =
        modificationTime ? modificationTime : file.modificationTime();
    auto stored = openStoredFile(backupFolders, file.name());
    if (!stored) return stored.error();
    const Making making =
        names != nullptr ? names->making(folder, name, date) : Making{.modificationTime = date};
    const std::string first = names != nullptr ? names->firstChoice(folder, name) : name;
    if (file.isOldVersion()) return writeDataOfPropertyList(*stored, folder, first, making);
    if (keybag != nullptr && file.encryptionKey())
        return writeDecryptedFile(*stored, file, *keybag, folder, first, making, warning);
    return copyItem(stored->folder, stored->name, folder, first, making);
}

}  // namespace salvora
