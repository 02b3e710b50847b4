#pragma once

// An OpenSSL cipher context that is freed on every way out of a scope.
#include <openssl/evp.h>

#include <memory>

namespace salvora {

struct CipherContextDeleter {
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

inline CipherContext newCipherContext() { return CipherContext(EVP_CIPHER_CTX_new()); }

}  // namespace salvora
