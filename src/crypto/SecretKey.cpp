#include "crypto/SecretKey.h"

#include <openssl/crypto.h>

#include <algorithm>

namespace salvora {

SecretKey::SecretKey(std::span<const std::byte, Size> bytes) {
    std::copy(bytes.begin(), bytes.end(), bytes_.begin());
}

SecretKey::~SecretKey() { OPENSSL_cleanse(bytes_.data(), bytes_.size()); }

const unsigned char* SecretKey::data() const {
    return reinterpret_cast<const unsigned char*>(bytes_.data());
}

unsigned char* SecretKey::mutableData() { return reinterpret_cast<unsigned char*>(bytes_.data()); }

}  // namespace salvora
