#pragma once

// Plain file descriptors for the few places that stream a file instead of reading it whole.
#include <cstddef>
#include <span>
#include <string>

namespace salvora {

// Closes a descriptor on every way out of a scope.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor();

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now, reporting the errno of a failed close (0 when it succeeded).
    int close();

  private:
    int fd_;
};

// Opens a file for reading without following a last-component link into a FIFO or device:
// the open never blocks, and anything but a regular file is refused (EISDIR for a folder,
// EINVAL for anything else). Returns -1 with the reason in `errorNumber` on failure.
int openRegularFileForReading(const std::string& path, int extraFlags, int& errorNumber);

// Reads until the buffer is full or the file ends, resuming after interruptions: the number
// of bytes read, or -1 with errno set on failure.
long readUpTo(int fd, std::span<std::byte> buffer);

// Writes every byte, resuming after interruptions; false with errno set on failure.
bool writeAll(int fd, std::span<const std::byte> bytes);

}  // namespace salvora
