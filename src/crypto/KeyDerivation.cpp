#include "crypto/KeyDerivation.h"

#include <openssl/evp.h>

#include <climits>
#include <span>
#include <string>

namespace salvora {
namespace {

Error derivationError(std::string reason) {
    return Error{"Could not derive the key of the keybag", "", std::move(reason)};
}

Status checkIterations(std::uint32_t iterations, std::string_view tag) {
    if (iterations == 0)
        return derivationError("The keybag asks for no iterations at all (" + std::string(tag) +
                               " is 0)");
    if (iterations > MaximumKeybagIterations)
        return derivationError("The keybag asks for " + std::to_string(iterations) +
                               " iterations (" + std::string(tag) + "); more than " +
                               std::to_string(MaximumKeybagIterations) + " are refused");
    return {};
}

bool fitsInInt(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

bool pbkdf2(std::span<const std::byte> password, std::span<const std::byte> salt,
            std::uint32_t iterations, const EVP_MD* digest, SecretKey& key) {
    if (!fitsInInt(password.size()) || !fitsInInt(salt.size())) return false;
    return PKCS5_PBKDF2_HMAC(reinterpret_cast<const char*>(password.data()),
                             static_cast<int>(password.size()),
                             reinterpret_cast<const unsigned char*>(salt.data()),
                             static_cast<int>(salt.size()), static_cast<int>(iterations), digest,
                             static_cast<int>(SecretKey::Size), key.mutableData()) == 1;
}

}  // namespace

Result<SecretKey> derivePasswordKey(const Keybag& keybag, std::string_view password) {
    Status allowed = checkIterations(keybag.iterations, "ITER");
    if (allowed && keybag.preDerivation)
        allowed = checkIterations(keybag.preDerivation->iterations, "DPIC");
    if (!allowed) return allowed.error();

    std::span<const std::byte> secret = std::as_bytes(std::span(password));
    SecretKey preDerived;
    if (keybag.preDerivation) {
        if (!pbkdf2(secret, keybag.preDerivation->salt, keybag.preDerivation->iterations,
                    EVP_sha256(), preDerived))
            return derivationError("PBKDF2-HMAC-SHA256 failed");
        secret = preDerived.bytes();
    }
    SecretKey key;
    if (!pbkdf2(secret, keybag.salt, keybag.iterations, EVP_sha1(), key))
        return derivationError("PBKDF2-HMAC-SHA1 failed");
    return key;
}

}  // namespace salvora
