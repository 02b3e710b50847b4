#pragma once

// The file-type bits (S_IFMT) of an st_mode as the device's file system gives them, whatever the
// host's: every layout that records a file's mode reads its kind from these.
#include <cstdint>

namespace salvora {

inline constexpr std::uint64_t deviceFileTypeBits = 0170000;
inline constexpr std::uint64_t deviceRegularFileType = 0100000;
inline constexpr std::uint64_t deviceFolderType = 0040000;
inline constexpr std::uint64_t deviceLinkType = 0120000;

// Whether the mode is that of a regular file (S_IFREG).
inline constexpr bool isRegularFileMode(std::uint64_t mode) {
    return (mode & deviceFileTypeBits) == deviceRegularFileType;
}

}  // namespace salvora
