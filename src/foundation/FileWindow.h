#pragma once

// A file read piece by piece at rising positions, through one buffer, instead of whole: a
// reader that visits a large file in order holds only a window of it.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "foundation/FileDescriptor.h"

namespace salvora {

class FileWindow {
  public:
    // Large enough that refilling costs little per byte, small enough to stay in the cache.
    static constexpr std::size_t defaultWindowSize = std::size_t{1} << 20;

    // Absent when the path is not a regular file that can be opened. Each refill reads at
    // least `windowSize` bytes: a reader that jumps about asks for less.
    [[nodiscard]] static std::optional<FileWindow> open(const std::string& path,
                                                        std::size_t windowSize = defaultWindowSize);

    // The file's size when it was opened.
    std::uint64_t size() const { return size_; }

    // The bytes [position, position + count), valid until the next call; absent when they lie
    // beyond the end or can't be read. Reading moves the window forward to `position` when it
    // doesn't hold them yet, so positions that rise cost one read of each part of the file.
    [[nodiscard]] std::optional<std::span<const std::byte>> read(std::uint64_t position,
                                                                 std::size_t count);

    // Whether a read failed inside the file, or found it shorter than when it was opened.
    bool failed() const { return failed_; }

  private:
    FileWindow(FileDescriptor file, std::uint64_t size, std::size_t windowSize)
        : file_(std::move(file)), size_(size), windowSize_(windowSize) {}

    FileDescriptor file_;
    std::uint64_t size_;
    std::size_t windowSize_;
    std::vector<std::byte> buffer_;
    std::uint64_t start_ = 0;  // file position of buffer_[0]
    std::size_t filled_ = 0;
    bool failed_ = false;
};

}  // namespace salvora
