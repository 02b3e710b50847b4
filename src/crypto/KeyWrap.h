#pragma once

// AES key unwrap (RFC 3394), the way every key of an encrypted backup is stored.
#include <cstddef>
#include <optional>
#include <span>

#include "crypto/SecretKey.h"

namespace salvora {

// A 256-bit key wrapped (40 bytes) under a 256-bit key-encryption key. Absent when the
// integrity check fails, which is what a wrong key-encryption key or a damaged wrapped key
// gives, or when the wrapped key has another length.
[[nodiscard]] std::optional<SecretKey> aesUnwrapKey(const SecretKey& keyEncryptionKey,
                                                    std::span<const std::byte> wrappedKey);

// The length of a wrapped 256-bit key: the key and one 8-byte integrity block.
inline constexpr std::size_t WrappedKeySize = SecretKey::Size + 8;

}  // namespace salvora
