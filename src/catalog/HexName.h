#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace salvora {

// Each byte as two lowercase hexadecimal digits, first byte first: how backups name the
// files they store.
std::string hexName(std::span<const std::byte> bytes);
// The same, written at `out`, which has room for twice as many characters as there are bytes.
void writeHexName(std::span<const std::byte> bytes, char* out);

}  // namespace salvora
