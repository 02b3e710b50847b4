#pragma once

// Plain file descriptors, for the places that open folders or stream a file instead of reading
// it whole.
#include <fcntl.h>

#include <cstddef>
#include <cstdint>
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
    ~FileDescriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting the errno of a failed close (0 when it succeeded).
    [[nodiscard]] int close();

  private:
    int fd_;
};

// Opens `relative` inside the folder `folder` (AT_FDCWD for a plain path) for reading, without
// blocking on a FIFO or device: anything but a regular file is refused (EISDIR for a folder,
// EINVAL for anything else). Returns -1 with the reason in `errorNumber` on failure.
[[nodiscard]] int openRegularFileForReading(int folder, const std::string& relative, int extraFlags,
                                            int& errorNumber);

[[nodiscard]] inline int openRegularFileForReading(const std::string& path, int extraFlags,
                                                   int& errorNumber) {
    return openRegularFileForReading(AT_FDCWD, path, extraFlags, errorNumber);
}

// Reads until the buffer is full or the file ends, resuming after interruptions: the number
// of bytes read, or -1 with errno set on failure.
[[nodiscard]] long readUpTo(int fd, std::span<std::byte> buffer);

// Writes every byte, resuming after interruptions; false with errno set on failure.
[[nodiscard]] bool writeAll(int fd, std::span<const std::byte> bytes);

// Copies what is left of `source`, from its offset, to `target` by reading and writing; false
// with errno set on failure.
[[nodiscard]] bool copyToEnd(int source, int target);

// Sets the file's modification time, in seconds since 1970, leaving its access time; false with
// errno set on failure.
[[nodiscard]] bool setModificationTime(int fd, std::int64_t seconds);

}  // namespace salvora
