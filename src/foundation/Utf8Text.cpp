#include "foundation/Utf8Text.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <cstring>
#include <limits>

namespace salvora {
namespace {

bool isValidUtf8(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        return false;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t index = 0;
    auto isAscii = [bytes](std::int32_t at) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes + at, sizeof word);
        return (word & 0x8080808080808080u) == 0;
    };
    while (index < length) {
        // Paths are mostly ASCII: pass over eight such bytes at a time, and over the last few
        // together with bytes already passed.
        if (length - index >= 8) {
            if (isAscii(index)) {
                index += 8;
                continue;
            }
        } else if (length >= 8 && isAscii(length - 8)) {
            return true;
        }
        if (bytes[index] < 0x80) {
            ++index;
            continue;
        }
        UChar32 codePoint = 0;
        U8_NEXT(bytes, index, length, codePoint);
        if (codePoint < 0) return false;
    }
    return true;
}

}  // namespace

std::optional<std::string_view> utf8Text(std::optional<std::string_view> bytes) {
    if (!bytes || !isValidUtf8(*bytes)) return std::nullopt;
    return bytes;
}

std::optional<std::string> utf8Text(std::optional<std::string> text) {
    if (!text || !isValidUtf8(*text)) return std::nullopt;
    return text;
}

}  // namespace salvora
