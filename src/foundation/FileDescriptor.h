#pragma once

// Plain file descriptors, owned, and the few operations that stream a file instead of reading
// it whole.
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <span>
#include <string>
#include <utility>

namespace salvora {

// Owns a file descriptor and closes it on every way out of a scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting the errno of a failed close (0 when it succeeded).
    int close() {
        int result = ::close(fd_) == 0 ? 0 : errno;
        fd_ = -1;
        return result;
    }

  private:
    int fd_;
};

// Opens a file for reading without following a last-component link into a FIFO or device:
// the open never blocks, and anything but a regular file is refused (EISDIR for a folder,
// EINVAL for anything else). Returns -1 with the reason in `errorNumber` on failure.
int openRegularFileForReading(const std::string& path, int extraFlags, int& errorNumber);
// The same for a path relative to an open folder (AT_FDCWD for the working directory).
int openRegularFileForReadingAt(int folder, const std::string& path, int extraFlags,
                                int& errorNumber);

// Reads until the buffer is full or the file ends, resuming after interruptions: the number
// of bytes read, or -1 with errno set on failure.
long readUpTo(int fd, std::span<std::byte> buffer);

// Writes every byte, resuming after interruptions; false with errno set on failure.
bool writeAll(int fd, std::span<const std::byte> bytes);

}  // namespace salvora
