#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/platform/UnnamedFile.h"

namespace salvora {

int openUnnamedFile(int folder) {
    // The descriptor's own entry in /proc names the unnamed file for the link, without any
    // privilege; without /proc there is no way to give it a name.
    static const bool canLinkUnnamed = ::access("/proc/self/fd", F_OK) == 0;
    if (!canLinkUnnamed) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
}

bool linkUnnamedFile(int fd, int folder, const std::string& name) {
    const std::string unnamed = "/proc/self/fd/" + std::to_string(fd);
    return ::linkat(AT_FDCWD, unnamed.c_str(), folder, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

}  // namespace salvora
