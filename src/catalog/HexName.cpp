#include "catalog/HexName.h"

#include <array>
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

}  // namespace

void writeHexName(std::span<const std::byte> bytes, char* out) {
    for (std::byte b : bytes) {
        std::memcpy(out, &digitPairs[2 * std::to_integer<std::size_t>(b)], 2);
        out += 2;
    }
}

std::string hexName(std::span<const std::byte> bytes) {
    std::string name(2 * bytes.size(), '\0');
    writeHexName(bytes, name.data());
    return name;
}

}  // namespace salvora
