#include "foundation/EntryStatus.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "foundation/FolderEntry.h"

namespace salvora {

std::optional<EntryStatus> entryStatus(const OpenFolder& folder, std::string_view name) {
    auto entry = entryOf(folder, name, "Could not look at");
    if (!entry) return std::nullopt;
    struct stat status {};
    if (::fstatat(entry->folder, entry->relative.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return EntryStatus{S_ISREG(status.st_mode), static_cast<std::uint64_t>(status.st_size),
                       static_cast<std::int64_t>(status.st_mtim.tv_sec),
                       static_cast<std::uint64_t>(status.st_dev),
                       static_cast<std::uint64_t>(status.st_ino)};
}

Status linkItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                const OpenFolder& targetFolder, std::string_view targetName) {
    auto target = entryOf(targetFolder, targetName, "Could not link");
    if (!target) return target.error();
    if (auto plain = entryOf(sourceFolder, sourceName, "Could not link"); !plain)
        return plain.error();
    auto source = entryStatus(sourceFolder, sourceName);
    if (!source || !source->regularFile)
        return Error{"Could not link", sourceFolder.pathOf(sourceName), "Not a regular file"};
    // Without AT_SYMLINK_FOLLOW a link at the source is linked itself, never what it names.
    if (::linkat(sourceFolder.descriptor(), std::string(sourceName).c_str(), target->folder,
                 target->relative.c_str(), 0) == 0)
        return {};
    const int failure = errno;
    Error error = Error::fromErrno("Could not link", target->shown, failure);
    if (failure == EXDEV || failure == EPERM || failure == EMLINK || failure == EOPNOTSUPP)
        error.kind = ErrorKind::Unsupported;
    return error;
}

}  // namespace salvora
