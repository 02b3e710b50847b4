#include "crypto/KeyWrap.h"

#include "crypto/CipherContext.h"

namespace salvora {

std::optional<SecretKey> aesUnwrapKey(const SecretKey& keyEncryptionKey,
                                      std::span<const std::byte> wrappedKey) {
    if (wrappedKey.size() != WrappedKeySize) return std::nullopt;
    CipherContext context = newCipherContext();
    if (!context) return std::nullopt;
    EVP_CIPHER_CTX_set_flags(context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    if (EVP_DecryptInit_ex(context.get(), EVP_aes_256_wrap(), nullptr, keyEncryptionKey.data(),
                           nullptr) != 1)
        return std::nullopt;
    // Unwrapping writes the whole key (never more) or nothing at all.
    SecretKey key;
    int written = 0;
    if (EVP_DecryptUpdate(context.get(), key.mutableData(), &written,
                          reinterpret_cast<const unsigned char*>(wrappedKey.data()),
                          static_cast<int>(wrappedKey.size())) != 1 ||
        written != static_cast<int>(SecretKey::Size))
        return std::nullopt;
    return key;
}

}  // namespace salvora
