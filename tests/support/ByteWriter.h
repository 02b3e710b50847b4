#pragma once

// Builds binary files byte by byte, big-endian, the way the manifest database stores its
// fields; also patches bytes in place so tests can break a file on purpose.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace salvora::test {

class ByteWriter {
  public:
    ByteWriter& uint8(std::uint8_t value) { return bigEndian(value, 1); }
    ByteWriter& uint16(std::uint16_t value) { return bigEndian(value, 2); }
    ByteWriter& uint32(std::uint32_t value) { return bigEndian(value, 4); }
    ByteWriter& uint64(std::uint64_t value) { return bigEndian(value, 8); }
    ByteWriter& bigEndian(std::uint64_t value, std::size_t width);
    ByteWriter& raw(std::span<const std::byte> bytes);
    ByteWriter& text(std::string_view text);
    // A 16-bit length and the text; no text at all is the length 0xFFFF and nothing after it.
    ByteWriter& manifestString(std::optional<std::string_view> text);

    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::byte>& bytes() const { return bytes_; }
    std::vector<std::byte> take() { return std::move(bytes_); }

  private:
    std::vector<std::byte> bytes_;
};

// Overwrites `width` bytes at `offset` with a big-endian value (the buffer grows if needed).
void putBigEndian(std::vector<std::byte>& bytes, std::size_t offset, std::uint64_t value,
                  std::size_t width);

}  // namespace salvora::test
