#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace salvora {

// Each byte as two lowercase hexadecimal digits, first byte first: how backups name the
// files they store.
std::string hexName(std::span<const std::byte> bytes);

}  // namespace salvora
