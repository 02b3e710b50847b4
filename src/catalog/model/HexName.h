#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace salvora {

// Each byte as two lowercase hexadecimal digits, first byte first: how backups name the
// files they store.
std::string hexName(std::span<const std::byte> bytes);
// The same, appended to `out`.
void appendHexName(std::span<const std::byte> bytes, std::string& out);
// The bytes a name of exactly two lowercase hexadecimal digits per byte of `out` spells, into
// `out`; false for any other name.
bool readHexName(std::string_view name, std::span<std::byte> out);

}  // namespace salvora
