#include "support/ByteWriter.h"

namespace salvora::test {

ByteWriter& ByteWriter::bigEndian(std::uint64_t value, std::size_t width) {
    putBigEndian(bytes_, bytes_.size(), value, width);
    return *this;
}

ByteWriter& ByteWriter::raw(std::span<const std::byte> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

ByteWriter& ByteWriter::text(std::string_view text) {
    auto first = reinterpret_cast<const std::byte*>(text.data());
    return raw({first, text.size()});
}

ByteWriter& ByteWriter::manifestString(std::optional<std::string_view> text) {
    if (!text) return uint16(0xFFFF);
    uint16(static_cast<std::uint16_t>(text->size()));
    return this->text(*text);
}

void putBigEndian(std::vector<std::byte>& bytes, std::size_t offset, std::uint64_t value,
                  std::size_t width) {
    if (bytes.size() < offset + width) bytes.resize(offset + width);
    for (std::size_t i = 0; i < width; ++i) {
        bytes[offset + width - 1 - i] = static_cast<std::byte>(value & 0xFF);
        value >>= 8;
    }
}

}  // namespace salvora::test
