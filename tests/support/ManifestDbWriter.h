#pragma once

// Writes "Manifest.db", the SQLite catalogue of modern backups.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace salvora::test {

inline constexpr std::int64_t manifestDbFileFlags = 1;
inline constexpr std::int64_t manifestDbDirectoryFlags = 2;
inline constexpr std::int64_t manifestDbLinkFlags = 4;

// What a row says the item is: its flags (absent: NULL) and the Mode of its "file" blob.
struct ManifestDbItemType {
    std::optional<std::int64_t> flags = manifestDbFileFlags;
    std::uint64_t mode = 0100644;
};

// One row of the Files table; an absent value is NULL.
struct ManifestDbRow {
    std::optional<std::string> fileID;
    std::optional<std::string> domain;
    std::optional<std::string> relativePath;
    std::optional<std::int64_t> flags = manifestDbFileFlags;
    std::optional<std::vector<std::byte>> file;
};

// Creates the database with its Files and Properties tables when it is missing, then appends
// the rows in order.
void appendManifestDbRows(const std::string& databasePath, const std::vector<ManifestDbRow>& rows);

// Runs SQL on a database, creating it when missing: for other schemas and values of other kinds.
void runSql(const std::string& databasePath, const std::string& sql);

}  // namespace salvora::test
