#include "foundation/FolderCreation.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "foundation/FileQueries.h"

namespace salvora {

Status createDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0)
        return Error::fromErrno("Could not create folder", path, errno);
    return {};
}

Status createDirectoryWithIntermediates(const std::string& path) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::u8path(path), code);
    if (code && !isDirectory(path)) return Error::fromCode("Could not create folder", path, code);
    return {};
}

}  // namespace salvora
