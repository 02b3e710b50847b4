#pragma once

// A keybag opened with the backup password: the class keys, by protection class. It holds
// no password and can be kept for the whole run to unwrap file keys as they are needed.
#include <cstddef>
#include <cstdint>
#include <map>
#include <span>
#include <string_view>

#include "crypto/Keybag.h"
#include "crypto/SecretKey.h"
#include "foundation/Error.h"

namespace salvora {

// The reason an unlock fails with when the password is not the backup's; front ends show it.
inline constexpr std::string_view WrongPassword = "wrong password";

class UnlockedKeybag {
  public:
    explicit UnlockedKeybag(std::map<std::uint32_t, SecretKey> classKeys)
        : classKeys_(std::move(classKeys)) {}

    // The key of a protection class; null when the keybag gave none for it.
    const SecretKey* classKey(std::uint32_t protectionClass) const;
    std::size_t classCount() const { return classKeys_.size(); }

    // A key stored as its protection class (4 bytes, little-endian) followed by the key
    // wrapped with that class's key: the "ManifestKey", and each file's encryption key.
    Result<SecretKey> unwrapKey(std::span<const std::byte> classAndWrappedKey) const;

  private:
    std::map<std::uint32_t, SecretKey> classKeys_;
};

// Derives the password key and unwraps every class key wrapped with it. A class whose key
// doesn't unwrap is left out; when none unwraps, it fails as WrongPassword.
Result<UnlockedKeybag> unlockKeybag(const Keybag& keybag, std::string_view password);

}  // namespace salvora
