#include "foundation/FileDescriptor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace salvora {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
}

int FileDescriptor::close() {
    int result = ::close(fd_) == 0 ? 0 : errno;
    fd_ = -1;
    return result;
}

int openRegularFileForReading(int folder, const std::string& relative, int extraFlags,
                              int& errorNumber) {
    int fd = ::openat(folder, relative.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | extraFlags);
    if (fd < 0) {
        errorNumber = errno;
        return -1;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        errorNumber = S_ISDIR(status.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        return -1;
    }
    // Back to blocking reads: the status flags it was opened with, less O_NONBLOCK (F_SETFL
    // ignores the others).
    ::fcntl(fd, F_SETFL, extraFlags & ~O_NONBLOCK);
    return fd;
}

long readUpTo(int fd, std::span<std::byte> buffer) {
    std::size_t filled = 0;
    while (filled < buffer.size()) {
        ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    return static_cast<long>(filled);
}

bool writeAll(int fd, std::span<const std::byte> bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes = bytes.subspan(static_cast<std::size_t>(written));
    }
    return true;
}

bool copyToEnd(int source, int target) {
    std::byte buffer[1 << 16];
    for (;;) {
        long got = readUpTo(source, buffer);
        if (got <= 0) return got == 0;
        if (!writeAll(target, std::span<const std::byte>(buffer, static_cast<std::size_t>(got))))
            return false;
    }
}

bool setModificationTime(int fd, std::int64_t seconds) {
    // The access time is set to now rather than left out: exfat-fuse drops a modification time
    // that comes without an access time.
    const struct timespec times[2] = {{0, UTIME_NOW}, {static_cast<time_t>(seconds), 0}};
    return ::futimens(fd, times) == 0;
}

}  // namespace salvora
