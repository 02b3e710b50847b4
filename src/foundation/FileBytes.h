#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace salvora {

// The whole contents of a file, loaded once. The buffer is not zeroed before the read fills it.
class FileBytes {
  public:
    FileBytes() = default;
    explicit FileBytes(std::size_t size)
        : data_(std::make_unique_for_overwrite<std::byte[]>(size)), size_(size) {}

    std::span<const std::byte> bytes() const { return {data_.get(), size_}; }
    std::span<std::byte> mutableBytes() { return {data_.get(), size_}; }
    std::size_t size() const { return size_; }

  private:
    std::unique_ptr<std::byte[]> data_;
    std::size_t size_ = 0;
};

}  // namespace salvora
