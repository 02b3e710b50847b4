#include "catalog/ManifestDatabaseReader.h"

#include <cstring>

#include "catalog/Filing.h"
#include "catalog/HexName.h"
#include "foundation/FileManager.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

constexpr std::size_t indexEntrySize = 26;
constexpr std::size_t keySize = 20;
constexpr std::uint16_t absentStringLength = 0xFFFF;

bool isRegularFile(std::uint16_t mode) { return (mode & 0xF000) == 0x8000; }

template <typename Unsigned>
std::optional<Unsigned> getBigEndian(ByteCursor& cursor) {
    auto value = cursor.readBigEndian(sizeof(Unsigned));
    if (!value) return std::nullopt;
    return static_cast<Unsigned>(*value);
}

// The record an index entry points at, filed under its domain's application. An entry whose
// record or strings run past the end of the database is skipped.
void addRecord(std::span<const std::byte> key, std::uint32_t recordOffset,
               std::span<const std::byte> database, DomainFiler& filer) {
    ByteCursor record(database);
    if (!record.seek(manifestDatabaseMagic.size() + std::size_t{recordOffset})) return;
    std::optional<ManifestString> domain = getString(record);
    if (!domain) return;
    std::optional<ManifestString> path = getString(record);
    if (!path) return;

    FileRecord file;
    file.name = hexName(key);
    if (auto text = utf8Text(*path)) file.fullpath = std::string(*text);
    file.oldVersion = false;
    filer.file(*domain, std::move(file));
}

}  // namespace

std::optional<std::uint8_t> getUint8(ByteCursor& cursor) {
    return getBigEndian<std::uint8_t>(cursor);
}
std::optional<std::uint16_t> getUint16(ByteCursor& cursor) {
    return getBigEndian<std::uint16_t>(cursor);
}
std::optional<std::uint32_t> getUint32(ByteCursor& cursor) {
    return getBigEndian<std::uint32_t>(cursor);
}
std::optional<std::uint64_t> getUint64(ByteCursor& cursor) {
    return getBigEndian<std::uint64_t>(cursor);
}

std::optional<ManifestString> getString(ByteCursor& cursor) {
    const std::size_t start = cursor.position();
    std::optional<std::uint16_t> length = getUint16(cursor);
    if (!length) return std::nullopt;
    if (*length == absentStringLength) return ManifestString();
    std::optional<std::string_view> text = cursor.readText(*length);
    if (!text) {
        cursor.seek(start);
        return std::nullopt;
    }
    return ManifestString(*text);
}

bool hasMagic(std::span<const std::byte> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

void addManifestDatabaseFiles(std::span<const std::byte> index, std::span<const std::byte> database,
                              ApplicationMap& applications) {
    if (!hasMagic(index, manifestIndexMagic) || !hasMagic(database, manifestDatabaseMagic)) return;
    ByteCursor cursor(index, manifestIndexMagic.size());
    std::optional<std::uint32_t> count = getUint32(cursor);
    if (!count) return;
    DomainFiler filer(applications);
    // A count beyond what the index holds stops at the last whole entry, keeping what was read.
    for (std::uint32_t entry = 0; entry < *count; ++entry) {
        std::optional<std::span<const std::byte>> bytes = cursor.readBytes(indexEntrySize);
        if (!bytes) return;
        ByteCursor fields(*bytes, keySize);
        std::uint32_t recordOffset = *getUint32(fields);
        std::uint16_t mode = *getUint16(fields);
        if (!isRegularFile(mode)) continue;
        addRecord(bytes->first(keySize), recordOffset, database, filer);
    }
}

void addManifestDatabaseFilesFromDirectory(const std::string& directory,
                                           ApplicationMap& applications) {
    const std::string indexPath = appendingPathComponent(directory, "Manifest.mbdx");
    if (!fileExists(indexPath)) return;
    std::optional<FileBytes> index = readFile(indexPath);
    if (!index || !hasMagic(index->bytes(), manifestIndexMagic)) return;
    // The database is loaded only once the index has passed its test.
    std::optional<FileBytes> database =
        readFile(appendingPathComponent(directory, "Manifest.mbdb"));
    if (!database || !hasMagic(database->bytes(), manifestDatabaseMagic)) return;
    addManifestDatabaseFiles(index->bytes(), database->bytes(), applications);
}

}  // namespace salvora
