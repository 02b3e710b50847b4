#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

#include "crypto/SecretKey.h"

namespace salvora::test {

inline SecretKey secretKey(std::span<const std::byte> bytes) {
    return SecretKey(bytes.first<SecretKey::Size>());
}

inline std::vector<std::byte> keyBytes(const SecretKey& key) {
    return {key.bytes().begin(), key.bytes().end()};
}

inline std::vector<std::byte> fromHex(std::string_view hex) {
    std::vector<std::byte> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(
            static_cast<std::byte>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return bytes;
}

}  // namespace salvora::test
