#include "support/EncryptedBackup.h"

#include <utility>

#include "foundation/BackupFileNames.h"

namespace salvora::test {

EncryptedBackup::EncryptedBackup(std::string folder, EncryptedCatalogue catalogue,
                                 FixtureKeybag keybag, ManifestOptions options)
    : backup_(std::move(folder)),
      catalogue_(catalogue),
      keybag_(std::move(keybag)),
      options_(std::move(options)) {
    if (catalogue_ != EncryptedCatalogue::EncryptedManifestDb) options_.withManifestKey = false;
    for (const auto& [key, value] : encryptionEntries(keybag_, options_))
        backup_.setManifestPlistValue(key, value);
    if (catalogue_ == EncryptedCatalogue::UnindexedDatabase) {
        writeFile(backup_ / ManifestMbdbName, unindexedDatabaseBytes({}));
    } else {
        writeManifestDb({});
    }
}

std::string EncryptedBackup::addFile(const EncryptedFile& file) {
    const std::string fileId = hexDigits(sha1Key(file.domain, file.path));
    const std::string name = catalogue_ == EncryptedCatalogue::UnindexedDatabase
                                 ? fileId
                                 : fileId.substr(0, 2) + "/" + fileId;
    // Every file has a key of its own.
    const Bytes fileKey = countingBytes(static_cast<std::uint8_t>(0xB0 + 3 * fileCount_++));
    const Bytes wrappedKey = writeEncryptedFile(backup_ / name, keybag_, file.protectionClass,
                                                bytesOf(file.contents), fileKey, file.stored);
    const std::uint64_t size = file.recordedSize.value_or(file.contents.size());

    if (catalogue_ == EncryptedCatalogue::UnindexedDatabase) {
        DatabaseRecord record;
        record.domain = file.domain;
        record.path = file.path;
        record.encryptionKey =
            std::string(reinterpret_cast<const char*>(wrappedKey.data()), wrappedKey.size());
        record.lastModified = file.lastModified;
        record.size = size;
        record.protectionClass = static_cast<std::uint8_t>(file.protectionClass);
        backup_.addUnindexedDatabaseRecord(std::move(record));
        return name;
    }
    ArchivedFileFields fields;
    fields.relativePath = file.path;
    fields.size = size;
    fields.lastModified = file.lastModified;
    fields.protectionClass = file.protectionClass;
    fields.encryptionKey = wrappedKey;
    fields.mode = file.type.mode;
    writeManifestDb({{fileId, file.domain, file.path, file.type.flags, archivedFileBlob(fields)}});
    return name;
}

std::string EncryptedBackup::addFile(std::string domain, std::string path, std::string contents,
                                     std::uint32_t lastModified) {
    return addFile({.domain = std::move(domain),
                    .path = std::move(path),
                    .contents = std::move(contents),
                    .lastModified = lastModified});
}

void EncryptedBackup::writeManifestDb(const std::vector<ManifestDbRow>& newRows) {
    if (catalogue_ == EncryptedCatalogue::PlainManifestDb) {
        appendManifestDbRows(backup_ / ManifestDbName, newRows);
        return;
    }
    const std::string plaintext = scratch_ / ManifestDbName;
    appendManifestDbRows(plaintext, newRows);
    writeFile(backup_ / ManifestDbName, storedManifestDb(readBytes(plaintext), options_));
}

}  // namespace salvora::test
