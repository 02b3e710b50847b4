#include "catalog/model/HexName.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace salvora {
namespace {

// Both digits of every byte value, so a name is formed with one look-up per byte.
constexpr std::array<char, 512> digitPairs = [] {
    constexpr char digits[] = "0123456789abcdef";
    std::array<char, 512> pairs{};
    for (std::size_t value = 0; value < 256; ++value) {
        pairs[2 * value] = digits[value >> 4];
        pairs[2 * value + 1] = digits[value & 0xF];
    }
    return pairs;
}();

// Each character's value as a lowercase hexadecimal digit, or noDigit.
constexpr std::uint8_t noDigit = 0xFF;
constexpr std::array<std::uint8_t, 256> digitValues = [] {
    std::array<std::uint8_t, 256> values{};
    values.fill(noDigit);
    for (std::uint8_t digit = 0; digit < 16; ++digit)
        values[static_cast<unsigned char>("0123456789abcdef"[digit])] = digit;
    return values;
}();

}  // namespace

bool readHexName(std::string_view name, std::span<std::byte> out) {
    if (name.size() != 2 * out.size()) return false;
    // One test at the end: names are nearly always digits, and a branch per character costs
    // more than the rest of the reading.
    std::uint8_t invalid = 0;
    for (std::size_t index = 0; index < out.size(); ++index) {
        const std::uint8_t high = digitValues[static_cast<unsigned char>(name[2 * index])];
        const std::uint8_t low = digitValues[static_cast<unsigned char>(name[2 * index + 1])];
        invalid |= (high | low) & 0xF0;
        out[index] = static_cast<std::byte>((high << 4) | (low & 0xF));
    }
    return invalid == 0;
}

void appendHexName(std::span<const std::byte> bytes, std::string& out) {
    const std::size_t start = out.size();
    out.resize(start + 2 * bytes.size());
    char* at = out.data() + start;
    for (std::byte b : bytes) {
        std::memcpy(at, &digitPairs[2 * std::to_integer<std::size_t>(b)], 2);
        at += 2;
    }
}

std::string hexName(std::span<const std::byte> bytes) {
    std::string name;
    appendHexName(bytes, name);
    return name;
}

}  // namespace salvora
