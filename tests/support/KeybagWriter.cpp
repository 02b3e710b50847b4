#include "support/KeybagWriter.h"

#include <openssl/evp.h>

#include <memory>
#include <stdexcept>

namespace salvora::test {
namespace {

using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)>;

const unsigned char* bytePointer(std::span<const std::byte> bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

Bytes pbkdf2(std::span<const std::byte> secret, std::span<const std::byte> salt,
             std::uint32_t iterations, const EVP_MD* digest) {
    Bytes key(32);
    if (PKCS5_PBKDF2_HMAC(
            reinterpret_cast<const char*>(secret.data()), static_cast<int>(secret.size()),
            bytePointer(salt), static_cast<int>(salt.size()), static_cast<int>(iterations), digest,
            static_cast<int>(key.size()), reinterpret_cast<unsigned char*>(key.data())) != 1)
        throw std::runtime_error("PBKDF2 failed");
    return key;
}

}  // namespace

Bytes countingBytes(std::uint8_t first, std::size_t count) {
    Bytes bytes(count);
    for (std::size_t i = 0; i < count; ++i) bytes[i] = static_cast<std::byte>(first + i);
    return bytes;
}

Bytes aesWrap(std::span<const std::byte> keyEncryptionKey, std::span<const std::byte> key) {
    CipherContext context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    EVP_CIPHER_CTX_set_flags(context.get(), EVP_CIPHER_CTX_FLAG_WRAP_ALLOW);
    Bytes wrapped(key.size() + 8);
    int written = 0;
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_wrap(), nullptr,
                           bytePointer(keyEncryptionKey), nullptr) != 1 ||
        EVP_EncryptUpdate(context.get(), reinterpret_cast<unsigned char*>(wrapped.data()), &written,
                          bytePointer(key), static_cast<int>(key.size())) != 1 ||
        written != static_cast<int>(wrapped.size()))
        throw std::runtime_error("AES key wrap failed");
    return wrapped;
}

KeybagRecords& KeybagRecords::add(std::string_view tag, std::span<const std::byte> value) {
    for (char c : tag) bytes_.push_back(static_cast<std::byte>(c));
    const auto length = static_cast<std::uint32_t>(value.size());
    for (int shift = 24; shift >= 0; shift -= 8)
        bytes_.push_back(static_cast<std::byte>(length >> shift));
    bytes_.insert(bytes_.end(), value.begin(), value.end());
    return *this;
}

KeybagRecords& KeybagRecords::addInteger(std::string_view tag, std::uint32_t value) {
    const Bytes bigEndian{static_cast<std::byte>(value >> 24), static_cast<std::byte>(value >> 16),
                          static_cast<std::byte>(value >> 8), static_cast<std::byte>(value)};
    return add(tag, bigEndian);
}

Bytes FixtureKeybag::passwordKey() const {
    Bytes secret(reinterpret_cast<const std::byte*>(password.data()),
                 reinterpret_cast<const std::byte*>(password.data()) + password.size());
    if (variant == KeyDerivationVariant::PreDerivation)
        secret = pbkdf2(secret, preSalt, preIterations, EVP_sha256());
    return pbkdf2(secret, salt, iterations, EVP_sha1());
}

KeybagRecords FixtureKeybag::records() const {
    KeybagRecords records;
    records.addInteger("VERS", 4)
        .addInteger("TYPE", 1)
        .add("UUID", countingBytes(0xE0, 16))
        .add("HMCK", countingBytes(0xC0, 40))
        .addInteger("WRAP", 0)
        .add("SALT", salt)
        .addInteger("ITER", iterations);
    if (variant == KeyDerivationVariant::PreDerivation)
        records.addInteger("DPWT", 1).addInteger("DPIC", preIterations).add("DPSL", preSalt);
    const Bytes key = passwordKey();
    for (const auto& [number, classKey] : classKeys) {
        Bytes wrapped = aesWrap(key, classKey);
        if (tamperedClasses.count(number) != 0) wrapped = tampered(std::move(wrapped), 9);
        records.add("UUID", countingBytes(static_cast<std::uint8_t>(number * 16), 16))
            .addInteger("CLAS", number)
            .addInteger("WRAP", 2)
            .addInteger("KTYP", 0)
            .add("WPKY", wrapped);
    }
    return records;
}

Bytes FixtureKeybag::wrapWithClass(std::uint32_t protectionClass,
                                   std::span<const std::byte> key) const {
    Bytes stored{static_cast<std::byte>(protectionClass),
                 static_cast<std::byte>(protectionClass >> 8),
                 static_cast<std::byte>(protectionClass >> 16),
                 static_cast<std::byte>(protectionClass >> 24)};
    const Bytes wrapped = aesWrap(classKeys.at(protectionClass), key);
    stored.insert(stored.end(), wrapped.begin(), wrapped.end());
    return stored;
}

Bytes tampered(Bytes bytes, std::size_t index) {
    bytes.at(index) ^= std::byte{0x01};
    return bytes;
}

}  // namespace salvora::test
