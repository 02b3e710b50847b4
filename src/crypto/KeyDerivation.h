#pragma once

// The key that unwraps a backup keybag's class keys, derived from the backup password.
#include <cstdint>
#include <string_view>

#include "crypto/Keybag.h"
#include "crypto/SecretKey.h"
#include "foundation/Error.h"

namespace salvora {

// The most PBKDF2 iterations a keybag may ask for in either round. Real keybags ask for at
// most ten million; a crafted one asking for billions would stall the program for hours.
inline constexpr std::uint32_t MaximumKeybagIterations = 10'000'000;

// With a DPSL: PBKDF2-HMAC-SHA1(PBKDF2-HMAC-SHA256(password, DPSL, DPIC, 32), SALT, ITER, 32).
// Without: PBKDF2-HMAC-SHA1(password, SALT, ITER, 32). Fails, before any work, on an
// iteration count of zero or above MaximumKeybagIterations. Takes seconds on real keybags:
// front ends call it off their event thread.
Result<SecretKey> derivePasswordKey(const Keybag& keybag, std::string_view password);

}  // namespace salvora
