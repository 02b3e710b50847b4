#include "recovery/FileStart.h"

#include <algorithm>
#include <cerrno>

#include "crypto/StoredFileDecryption.h"
#include "foundation/FileDescriptor.h"
#include "foundation/FileReading.h"
#include "foundation/PropertyList.h"
#include "recovery/HeldFolders.h"
#include "recovery/StoredFile.h"

namespace salvora {
namespace {

FileStart startOf(std::span<const std::byte> contents, std::size_t limit) {
    const std::size_t kept = std::min(contents.size(), limit);
    return {{contents.begin(), contents.begin() + static_cast<std::ptrdiff_t>(kept)},
            kept == contents.size()};
}

std::optional<FileStart> dataOfPropertyList(const StoredFile& stored, std::size_t limit,
                                            ErrorSlot& error) {
    auto bytes = readFile(stored.folder, stored.name, &error);
    if (!bytes) return std::nullopt;
    PropertyList list = PropertyList::fromData(bytes->bytes());
    auto data = list["Data"].data();
    if (!data) {
        error =
            Error{"Could not read", stored.folder.pathOf(stored.name), "Holds no \"Data\" value"};
        return std::nullopt;
    }
    return startOf(*data, limit);
}

std::optional<FileStart> decryptedStart(const StoredFile& stored, const FileRecord& file,
                                        std::size_t limit, const UnlockedKeybag& keybag,
                                        ErrorSlot& error) {
    const std::string path = stored.folder.pathOf(stored.name);
    auto key = storedFileKey(stored, file, keybag, error);
    if (!key) return std::nullopt;
    auto input = openForReading(stored.folder, stored.name, &error);
    if (!input) return std::nullopt;
    FileStart start;
    // Stops the decryption once the limit is reached; not a failure.
    const Error enough{"Read", path, "enough"};
    error = decryptStoredFile(
                input->get(), path, *key, file.size(),
                [&](std::span<const std::byte> piece) -> ErrorSlot {
                    const std::size_t room = limit - start.bytes.size();
                    start.bytes.insert(
                        start.bytes.end(), piece.begin(),
                        piece.begin() + static_cast<std::ptrdiff_t>(std::min(room, piece.size())));
                    if (piece.size() >= room) return enough;
                    return std::nullopt;
                })
                .error;
    if (error && error->reason == enough.reason && error->operation == enough.operation) {
        error.reset();
        return start;
    }
    if (error) return std::nullopt;
    start.whole = true;
    return start;
}

std::optional<FileStart> storedStart(const StoredFile& stored, std::size_t limit,
                                     ErrorSlot& error) {
    auto input = openForReading(stored.folder, stored.name, &error);
    if (!input) return std::nullopt;
    // One byte beyond the limit tells whether there is more.
    FileStart start;
    start.bytes.resize(limit + 1);
    const long got = readUpTo(input->get(), start.bytes);
    if (got < 0) {
        error = Error::fromErrno("Could not read", stored.folder.pathOf(stored.name), errno);
        return std::nullopt;
    }
    const auto filled = static_cast<std::size_t>(got);
    start.whole = filled <= limit;
    start.bytes.resize(std::min(filled, limit));
    return start;
}

}  // namespace

std::optional<FileStart> readFileStart(const std::string& deviceDirectory, const FileRecord& file,
                                       std::size_t limit, const UnlockedKeybag* keybag,
                                       ErrorSlot& error) {
    HeldFolders backupFolders(deviceDirectory, CreateMissing::No);
    auto stored = openStoredFile(backupFolders, std::string(file.name()), error);
    if (!stored) return std::nullopt;
    if (file.isOldVersion()) return dataOfPropertyList(*stored, limit, error);
    if (keybag != nullptr && file.encryptionKey())
        return decryptedStart(*stored, file, limit, *keybag, error);
    return storedStart(*stored, limit, error);
}

}  // namespace salvora
