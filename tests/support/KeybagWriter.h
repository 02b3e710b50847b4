#pragma once

// Writes backup keybags for a known password, computing every key the way the phone does,
// so tests can unlock them, and can break them on purpose.
#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace salvora::test {

using Bytes = std::vector<std::byte>;

// `count` bytes counting up from `first`, wrapping at 256: recognisable keys and salts.
Bytes countingBytes(std::uint8_t first, std::size_t count = 32);

// AES key wrap (RFC 3394) of `key` under a 256-bit key-encryption key.
Bytes aesWrap(std::span<const std::byte> keyEncryptionKey, std::span<const std::byte> key);

// A keybag's records in order: 4-byte tag, 4-byte big-endian length, value.
class KeybagRecords {
  public:
    KeybagRecords& add(std::string_view tag, std::span<const std::byte> value);
    KeybagRecords& addInteger(std::string_view tag, std::uint32_t value);
    const Bytes& bytes() const { return bytes_; }

  private:
    Bytes bytes_;
};

enum class KeyDerivationVariant {
    SaltOnly,      // PBKDF2-HMAC-SHA1 over SALT and ITER alone
    PreDerivation  // a PBKDF2-HMAC-SHA256 round over DPSL and DPIC first
};

// A backup keybag and the keys behind it. Iteration counts are tiny so tests stay fast.
struct FixtureKeybag {
    std::string password = "correct horse";
    KeyDerivationVariant variant = KeyDerivationVariant::PreDerivation;
    std::uint32_t iterations = 3;     // ITER
    std::uint32_t preIterations = 2;  // DPIC
    Bytes salt = countingBytes(0x50, 20);
    Bytes preSalt = countingBytes(0x70, 20);
    // Each class's key, wrapped with the password key (WRAP 2).
    std::map<std::uint32_t, Bytes> classKeys = {{1, countingBytes(0x10)},
                                                {2, countingBytes(0x20)},
                                                {3, countingBytes(0x30)},
                                                {4, countingBytes(0x40)}};
    // Classes whose wrapped key gets one bit flipped.
    std::set<std::uint32_t> tamperedClasses;

    // The key the password derives, computed with OpenSSL's PBKDF2 directly.
    Bytes passwordKey() const;
    // The header records, then one class block per class key.
    KeybagRecords records() const;
    Bytes encode() const { return records().bytes(); }
    // A key as "ManifestKey" and a file's encryption key hold it: the class, 4 bytes
    // little-endian, then the key wrapped with that class's key.
    Bytes wrapWithClass(std::uint32_t protectionClass, std::span<const std::byte> key) const;
};

// The bytes with one bit flipped at `index`.
Bytes tampered(Bytes bytes, std::size_t index);

}  // namespace salvora::test
