#pragma once

// A position in a buffer of bytes, with reads that check what is left before they touch it.
// A read that doesn't fit fails and leaves the position where it was.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace salvora {

class ByteCursor {
  public:
    explicit ByteCursor(std::span<const std::byte> bytes, std::size_t position = 0)
        : bytes_(bytes), position_(position <= bytes.size() ? position : bytes.size()) {}

    std::size_t position() const { return position_; }
    std::size_t remaining() const { return bytes_.size() - position_; }
    std::span<const std::byte> whole() const { return bytes_; }

    // Moves to an absolute position; false (and no move) when it lies beyond the end.
    bool seek(std::size_t position) {
        if (position > bytes_.size()) return false;
        position_ = position;
        return true;
    }

    bool skip(std::size_t count) {
        if (count > remaining()) return false;
        position_ += count;
        return true;
    }

    std::optional<std::span<const std::byte>> readBytes(std::size_t count) {
        if (count > remaining()) return std::nullopt;
        auto piece = bytes_.subspan(position_, count);
        position_ += count;
        return piece;
    }

    // Big-endian unsigned integer of `width` bytes (1 to 8).
    std::optional<std::uint64_t> readBigEndian(std::size_t width) {
        auto piece = readBytes(width);
        if (!piece) return std::nullopt;
        std::uint64_t value = 0;
        for (std::byte b : *piece) value = (value << 8) | std::to_integer<std::uint64_t>(b);
        return value;
    }

    // Little-endian unsigned integer of `width` bytes (1 to 8).
    std::optional<std::uint64_t> readLittleEndian(std::size_t width) {
        auto piece = readBytes(width);
        if (!piece) return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = piece->size(); i-- > 0;)
            value = (value << 8) | std::to_integer<std::uint64_t>((*piece)[i]);
        return value;
    }

    std::optional<std::string_view> readText(std::size_t count) {
        auto piece = readBytes(count);
        if (!piece) return std::nullopt;
        return std::string_view(reinterpret_cast<const char*>(piece->data()), piece->size());
    }

  private:
    std::span<const std::byte> bytes_;
    std::size_t position_;
};

}  // namespace salvora
