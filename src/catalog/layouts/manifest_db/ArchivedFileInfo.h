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
    // The device's st_mode: what kind of item it is (S_IFMT) and its permissions.
    std::optional<std::uint64_t> mode;
    // "EncryptionKey" -> "NS.data": the protection class and the wrapped key of an
    // encrypted backup's file.
    std::optional<std::vector<std::byte>> encryptionKey;

    bool operator==(const ArchivedFileInfo&) const = default;
};

// Each value present when the archive holds it as the right kind; all absent for bytes that
// are not such an archive. A binary archive is read in place, only the objects on the way to
// these values looked at: of a damaged one, what can still be reached is read.
ArchivedFileInfo readArchivedFileInfo(std::span<const std::byte> blob);

// The same by decoding the whole archive with libplist, as archives in any other form are
// read; a damaged binary archive gives nothing at all. Tests hold the in-place reading to it.
ArchivedFileInfo readArchivedFileInfoWithLibplist(std::span<const std::byte> blob);

}  // namespace salvora
