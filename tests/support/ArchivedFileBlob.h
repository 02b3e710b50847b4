#pragma once

// The "file" blob of a Manifest.db row: an NSKeyedArchiver binary property list whose root
// object is an MBFile.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/PlistValue.h"

namespace salvora::test {

struct ArchivedFileFields {
    std::string relativePath;
    std::optional<std::uint64_t> size;
    std::optional<std::uint64_t> lastModified;  // seconds since 1970
    std::optional<std::uint64_t> protectionClass;
    std::optional<std::vector<std::byte>> encryptionKey;  // the NS.data of "EncryptionKey"
    std::uint64_t mode = 0100644;
};

// The archive as a property list, for tests that change its structure before encoding it.
PlistValue archivedFilePlist(const ArchivedFileFields& fields);

std::vector<std::byte> archivedFileBlob(const ArchivedFileFields& fields);

}  // namespace salvora::test
