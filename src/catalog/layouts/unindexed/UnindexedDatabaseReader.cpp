#include "catalog/layouts/unindexed/UnindexedDatabaseReader.h"

#include <openssl/sha.h>

#include <array>

#include "catalog/naming/ContainerFiler.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/FileReading.h"
#include "foundation/Path.h"
#include "foundation/Plural.h"
#include "foundation/Utf8Text.h"

namespace salvora {
namespace {

// Reads every field in order; false at the first that runs past the end.
class FieldReader {
  public:
    explicit FieldReader(ByteCursor& cursor) : cursor_(cursor) {}

    bool string(ManifestString& field) { return take(getString(cursor_), field); }
    template <typename Unsigned>
    bool number(Unsigned& field) {
        return take(cursor_.readBigEndian(sizeof(Unsigned)), field);
    }

  private:
    template <typename Value, typename Field>
    static bool take(const std::optional<Value>& value, Field& field) {
        if (!value) return false;
        field = static_cast<Field>(*value);
        return true;
    }

    ByteCursor& cursor_;
};

bool skipProperties(ByteCursor& cursor, std::uint8_t count) {
    for (std::uint8_t property = 0; property < count; ++property) {
        if (!getString(cursor) || !getString(cursor)) return false;
    }
    return true;
}

}  // namespace

std::optional<DatabaseRecord> readDatabaseRecord(ByteCursor& cursor) {
    const std::size_t start = cursor.position();
    DatabaseRecord record;
    std::uint8_t propertyCount = 0;
    FieldReader read(cursor);
    bool whole = read.string(record.domain) && read.string(record.path) &&
                 read.string(record.linkTarget) && read.string(record.dataHash) &&
                 read.string(record.encryptionKey) && read.number(record.mode) &&
                 read.number(record.inode) && read.number(record.userId) &&
                 read.number(record.groupId) && read.number(record.lastModified) &&
                 read.number(record.lastStatusChange) && read.number(record.birth) &&
                 read.number(record.size) && read.number(record.protectionClass) &&
                 read.number(propertyCount) && skipProperties(cursor, propertyCount);
    if (!whole) {
        cursor.seek(start);
        return std::nullopt;
    }
    return record;
}

std::array<std::byte, StoredName::keySize> storedKeyForRecord(const DatabaseRecord& record) {
    std::string text;
    text.reserve(record.domain.value_or("").size() + 1 + record.path.value_or("").size());
    text += record.domain.value_or("");
    text += '-';
    text += record.path.value_or("");
    static_assert(SHA_DIGEST_LENGTH == StoredName::keySize);
    std::array<std::byte, StoredName::keySize> digest{};
    SHA1(reinterpret_cast<const unsigned char*>(text.data()), text.size(),
         reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

LayoutReading addUnindexedDatabaseFiles(std::span<const std::byte> database,
                                        ApplicationMap& applications) {
    LayoutReading reading{std::string(ManifestMbdbName)};
    if (!hasMagic(database, manifestDatabaseMagic)) {
        reading.damaged("not a manifest database");
        return reading;
    }
    ByteCursor cursor(database, manifestDatabaseMagic.size());
    auto storage = std::make_shared<RecordStorage>();
    auto details = std::make_unique<FileDetailsList>();
    FileDetailsList& detailsList = *details;
    storage->details = std::move(details);
    ContainerFiler filer;
    while (cursor.remaining() > 0) {
        std::optional<DatabaseRecord> record = readDatabaseRecord(cursor);
        if (!record) {
            reading.damaged("cut off after " + counted(reading.recordsRead, "record", "records"));
            break;
        }
        ++reading.recordsRead;
        if (!record->isRegularFile()) continue;
        FileDetails fileDetails{record->lastModified, record->size, std::nullopt};
        if (record->encryptionKey && !record->encryptionKey->empty()) {
            auto key = std::as_bytes(std::span(*record->encryptionKey));
            fileDetails.encryptionKey.emplace(key.begin(), key.end());
        }
        const auto key = storedKeyForRecord(*record);
        filer.file(record->domain, StoredName::key(key, StoredName::Form::Key),
                   utf8Text(record->path), &detailsList, detailsList.add(std::move(fileDetails)));
    }
    fileContainers({&filer, 1}, storage, applications);
    return reading;
}

LayoutReading addUnindexedDatabaseFilesFromDirectory(const std::string& directory,
                                                     ApplicationMap& applications) {
    if (fileExists(appendingPathComponent(directory, ManifestMbdxName))) return {};
    const std::string databasePath = appendingPathComponent(directory, ManifestMbdbName);
    if (!fileExists(databasePath)) return {};
    auto database = readFile(databasePath);
    if (!database) {
        LayoutReading reading{std::string(ManifestMbdbName)};
        reading.damaged(database.error().reason);
        return reading;
    }
    return addUnindexedDatabaseFiles(database->bytes(), applications);
}

}  // namespace salvora
