#include "foundation/FolderEntry.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace salvora {
namespace {

bool isPlainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
}

}  // namespace

std::optional<EntryStatus> entryStatus(const OpenFolder& folder, std::string_view name) {
    if (!isPlainName(name)) return std::nullopt;
    struct stat status {};
    if (::fstatat(folder.descriptor(), std::string(name).c_str(), &status, AT_SYMLINK_NOFOLLOW) !=
        0)
        return std::nullopt;
    return EntryStatus{S_ISREG(status.st_mode), static_cast<std::uint64_t>(status.st_size),
                       static_cast<std::int64_t>(status.st_mtim.tv_sec),
                       static_cast<std::uint64_t>(status.st_dev),
                       static_cast<std::uint64_t>(status.st_ino)};
}

std::optional<ErrorSlot> linkItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                                  const OpenFolder& targetFolder, std::string_view targetName) {
    const std::string shown = targetFolder.pathOf(targetName);
    if (!isPlainName(sourceName) || !isPlainName(targetName))
        return Error{"Could not link", shown, "Not a plain file name"};
    auto source = entryStatus(sourceFolder, sourceName);
    if (!source || !source->regularFile)
        return Error{"Could not link", sourceFolder.pathOf(sourceName), "Not a regular file"};
    // Without AT_SYMLINK_FOLLOW a link at the source is linked itself, never what it names.
    if (::linkat(sourceFolder.descriptor(), std::string(sourceName).c_str(),
                 targetFolder.descriptor(), std::string(targetName).c_str(), 0) == 0)
        return ErrorSlot{};
    const int failure = errno;
    if (failure == EXDEV || failure == EPERM || failure == EMLINK || failure == EOPNOTSUPP)
        return std::nullopt;
    return Error::fromErrno("Could not link", shown, failure);
}

}  // namespace salvora
