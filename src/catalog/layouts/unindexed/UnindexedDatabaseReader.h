#pragma once

// The "Manifest.mbdb" of iOS 5 to 9, which has no index: its records follow one another from
// the end of the magic, and each stored file is named by SHA-1 over "domain-path".
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "catalog/layouts/LayoutReading.h"
#include "catalog/layouts/manifest_database/ManifestDatabaseReader.h"
#include "catalog/model/Records.h"

namespace salvora {

// One record; the strings are views into the loaded bytes.
struct DatabaseRecord {
    ManifestString domain;
    ManifestString path;
    ManifestString linkTarget;
    ManifestString dataHash;
    ManifestString encryptionKey;
    std::uint16_t mode = 0;
    std::uint64_t inode = 0;
    std::uint32_t userId = 0;
    std::uint32_t groupId = 0;
    std::uint32_t lastModified = 0;  // seconds since 1970
    std::uint32_t lastStatusChange = 0;
    std::uint32_t birth = 0;
    std::uint64_t size = 0;
    std::uint8_t protectionClass = 0;

    bool isRegularFile() const { return isRegularFileMode(mode); }
};

// Reads the record at the cursor, its name/value properties passed over, and moves past it;
// nullopt, with the cursor unmoved, when the record runs past the end.
std::optional<DatabaseRecord> readDatabaseRecord(ByteCursor& cursor);

// SHA-1 over the raw bytes of domain, "-", path (an absent string counting as no bytes): the
// key whose 40 lowercase hexadecimal digits name the stored file.
std::array<std::byte, StoredName::keySize> storedKeyForRecord(const DatabaseRecord& record);

// Files every regular file of the database, in file order; a damaged record ends the walk,
// keeping what was read. Adds nothing unless the bytes start with the database magic.
// The reading tells how far it got.
LayoutReading addUnindexedDatabaseFiles(std::span<const std::byte> database,
                                        ApplicationMap& applications);

// Reads folder/"Manifest.mbdb" when the folder has no "Manifest.mbdx"; an empty layout when it
// reads nothing.
LayoutReading addUnindexedDatabaseFilesFromDirectory(const std::string& directory,
                                                     ApplicationMap& applications);

}  // namespace salvora
