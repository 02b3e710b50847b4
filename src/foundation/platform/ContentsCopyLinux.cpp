#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "foundation/FileDescriptor.h"
#include "foundation/platform/ContentsCopy.h"

namespace salvora {

// A reflink where the file system offers one, else copy_file_range in the kernel, else a plain
// read and write loop that goes on from where the kernel stopped.
bool copyContents(int source, int target) {
    if (::ioctl(target, FICLONE, source) == 0) return true;
    for (;;) {
        ssize_t copied = ::copy_file_range(source, nullptr, target, nullptr, 1 << 30, 0);
        if (copied == 0) return true;
        if (copied > 0 || errno == EINTR) continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        return copyToEnd(source, target);
    }
}

}  // namespace salvora
