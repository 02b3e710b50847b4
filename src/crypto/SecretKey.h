#pragma once

// A 256-bit key: the key derived from the password, a class key, or a file's key. Its bytes
// are wiped when it goes away, so keys don't linger in freed memory.
#include <array>
#include <cstddef>
#include <span>

namespace salvora {

class SecretKey {
  public:
    static constexpr std::size_t Size = 32;

    SecretKey() = default;  // all zeros, until filled
    explicit SecretKey(std::span<const std::byte, Size> bytes);
    SecretKey(const SecretKey&) = default;
    SecretKey& operator=(const SecretKey&) = default;
    ~SecretKey();

    std::span<const std::byte, Size> bytes() const { return bytes_; }
    std::span<std::byte, Size> mutableBytes() { return bytes_; }
    // The bytes in the form OpenSSL takes them.
    const unsigned char* data() const;
    unsigned char* mutableData();

  private:
    std::array<std::byte, Size> bytes_{};
};

}  // namespace salvora
