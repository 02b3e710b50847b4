#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/FileDescriptor.h"
#include "foundation/platform/UnnamedFile.h"

namespace salvora {

Status makeThroughUnnamedFile(const FolderEntry& target, const char* operation,
                              ModificationTime modificationTime, const ContentsWriter& write) {
    // The descriptor's own entry in /proc names the unnamed file for the link, without any
    // privilege; without /proc there is no way to give it a name.
    static const bool canLinkUnnamed = ::access("/proc/self/fd", F_OK) == 0;
    if (!canLinkUnnamed) return unnamedFilesUnavailable(target, operation);
    FileDescriptor output(::openat(target.folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (!output.valid()) {
        if (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)
            return unnamedFilesUnavailable(target, operation);
        return Error::fromErrno(operation, target.shown, errno);
    }
    if (Status written = write(output.get()); !written) return written;
    if (modificationTime && !setModificationTime(output.get(), *modificationTime))
        return Error::fromErrno(operation, target.shown, errno);
    const std::string unnamed = "/proc/self/fd/" + std::to_string(output.get());
    if (::linkat(AT_FDCWD, unnamed.c_str(), target.folder, target.relative.c_str(),
                 AT_SYMLINK_FOLLOW) != 0)
        return Error::fromErrno(operation, target.shown, errno);
    if (int failure = output.close(); failure != 0) {
        ::unlinkat(target.folder, target.relative.c_str(), 0);
        return Error::fromErrno(operation, target.shown, failure);
    }
    return {};
}

}  // namespace salvora
