#include "support/FolderSnapshot.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>

#include "support/ManifestDatabaseBytes.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {

std::vector<std::string> folderSnapshot(const std::string& folder) {
    std::vector<std::string> entries;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        struct stat status {};
        ::lstat(entry.path().c_str(), &status);
        std::string line = entry.path().string() + " mode " + std::to_string(status.st_mode) +
                           " size " + std::to_string(status.st_size) + " modified " +
                           std::to_string(status.st_mtim.tv_sec) + "." +
                           std::to_string(status.st_mtim.tv_nsec);
        if (S_ISREG(status.st_mode)) {
            line += " sha1 " + hexDigits(sha1Digest(readText(entry.path().string())));
        }
        entries.push_back(std::move(line));
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

}  // namespace salvora::test
