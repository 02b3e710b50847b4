#include "foundation/FileQueries.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <string_view>

namespace salvora {

std::optional<std::vector<std::string>> directoryContents(const std::string& path) {
    DIR* directory = ::opendir(path.c_str());
    if (directory == nullptr) return std::nullopt;
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(directory)) {
        std::string_view name(entry->d_name);
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(directory);
    std::sort(names.begin(), names.end());
    return names;
}

bool fileExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::optional<std::chrono::system_clock::time_point> modificationDate(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    using namespace std::chrono;
    return system_clock::time_point(duration_cast<system_clock::duration>(
        seconds(status.st_mtim.tv_sec) + nanoseconds(status.st_mtim.tv_nsec)));
}

}  // namespace salvora
