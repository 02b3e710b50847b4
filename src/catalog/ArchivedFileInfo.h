#pragma once

// What a Manifest.db row's "file" blob tells of the file: an NSKeyedArchiver property list
// whose root object is an MBFile.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace salvora {

struct ArchivedFileInfo {
    std::optional<std::uint64_t> size;
    std::optional<std::int64_t> lastModified;  // seconds since 1970
    std::optional<std::uint64_t> protectionClass;
    // "EncryptionKey" -> "NS.data": the protection class and the wrapped key of an
    // encrypted backup's file.
    std::optional<std::vector<std::byte>> encryptionKey;
};

// Each value present when the archive holds it as the right kind; all absent for bytes that
// are not such an archive.
ArchivedFileInfo readArchivedFileInfo(std::span<const std::byte> blob);

}  // namespace salvora
