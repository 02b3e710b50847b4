#pragma once

// The bytes of the manifest database: "Manifest.mbdx" (index) with "Manifest.mbdb" (records),
// and the iOS 5 to 9 "Manifest.mbdb" that holds its records without an index.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/ByteWriter.h"

namespace salvora::test {

inline constexpr std::string_view indexMagic{"mbdx\x02\x00", 6};
inline constexpr std::string_view databaseMagic{"mbdb\x05\x00", 6};

inline constexpr std::uint16_t regularFileMode = 0100644;
inline constexpr std::uint16_t directoryMode = 040755;
inline constexpr std::uint16_t symbolicLinkMode = 0120755;

// Where things lie in the index: the 10-byte header, then 26-byte entries.
inline constexpr std::size_t indexCountOffset = 6;
inline constexpr std::size_t indexEntrySize = 26;
inline constexpr std::size_t indexEntryOffset(std::size_t entry) {
    return 10 + indexEntrySize * entry;
}
inline constexpr std::size_t entryRecordOffsetField = 20;  // inside an entry
inline constexpr std::size_t entryModeField = 24;

// One full database record, as iOS writes it (the index layout's reader reads only the first
// two strings; the layout without index walks all of it).
struct DatabaseRecord {
    std::optional<std::string> domain;
    std::optional<std::string> path;
    std::optional<std::string> linkTarget;
    std::optional<std::string> dataHash;
    std::optional<std::string> encryptionKey;
    std::uint16_t mode = regularFileMode;
    std::uint64_t inode = 0;
    std::uint32_t userId = 501;
    std::uint32_t groupId = 501;
    std::uint32_t lastModified = 0;
    std::uint32_t lastStatusChange = 0;
    std::uint32_t birth = 0;
    std::uint64_t size = 0;
    std::uint8_t protectionClass = 0;
    std::vector<std::pair<std::string, std::string>> properties;
};

// One item of the index layout: its 20-byte key and the record the index points at.
struct ManifestEntry {
    std::vector<std::byte> key;
    DatabaseRecord record;
};

struct ManifestDatabaseBytes {
    std::vector<std::byte> index;     // "Manifest.mbdx"
    std::vector<std::byte> database;  // "Manifest.mbdb"
};

// The index and the database of the entries, in entry order, each index entry pointing at its
// own record and carrying the record's mode.
ManifestDatabaseBytes manifestDatabaseBytes(const std::vector<ManifestEntry>& entries);

// A "Manifest.mbdb" with the records one after the other and no index.
std::vector<std::byte> unindexedDatabaseBytes(const std::vector<DatabaseRecord>& records);

void appendDatabaseRecord(ByteWriter& writer, const DatabaseRecord& record);

std::vector<std::byte> sha1Digest(std::string_view bytes);
// The 20 bytes of SHA-1 over "domain-path", by which backups name stored files.
std::vector<std::byte> sha1Key(std::string_view domain, std::string_view path);
// The same as 40 lowercase hexadecimal digits.
std::string hexDigits(std::span<const std::byte> bytes);

}  // namespace salvora::test
