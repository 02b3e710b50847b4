#pragma once

// Everything below a folder as text, so a test can show that something left it unchanged.
#include <string>
#include <vector>

namespace salvora::test {

// One line per entry below the folder, sorted: its path, kind, size, modification time (to the
// nanosecond) and, for a regular file, the SHA-1 of its contents.
std::vector<std::string> folderSnapshot(const std::string& folder);

}  // namespace salvora::test
