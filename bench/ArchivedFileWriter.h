#pragma once

// The "file" blob of a Manifest.db row (an NSKeyedArchiver binary property list whose root is
// an MBFile), encoded directly: the fixture writer's libplist encoding of the same archive takes
// about 30 microseconds a row, too slow for a million rows.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace salvora::bench {

struct ArchivedFile {
    std::string_view relativePath;  // ASCII
    std::uint64_t size = 0;
    std::uint64_t lastModified = 0;
    std::uint64_t mode = 0100644;
    std::uint64_t inode = 0;
};

std::vector<std::byte> archivedFileBlob(const ArchivedFile& file);

}  // namespace salvora::bench
