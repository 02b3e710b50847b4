#include "crypto/StoredFileDecryption.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <limits>
#include <vector>

#include "crypto/CipherContext.h"
#include "foundation/FileDescriptor.h"

namespace salvora {
namespace {

constexpr std::size_t BlockSize = 16;

Error decryptionError(const std::string& path, std::string reason) {
    return Error{"Could not decrypt", path, std::move(reason)};
}

std::string bytesText(std::uint64_t count) { return std::to_string(count) + " bytes"; }

// The ciphertext length a plaintext of `size` bytes gets: padding always adds 1 to 16 bytes.
std::optional<std::uint64_t> paddedLength(std::uint64_t size) {
    const std::uint64_t padding = BlockSize - size % BlockSize;
    if (size > std::numeric_limits<std::uint64_t>::max() - padding) return std::nullopt;
    return size + padding;
}

// What the ciphertext's length alone tells, checked before a byte is decrypted.
ErrorSlot checkLength(const std::string& path, std::uint64_t length,
                      std::optional<std::uint64_t> expectedSize) {
    if (length % BlockSize != 0)
        return decryptionError(
            path, "Its length, " + bytesText(length) + ", is not a whole number of 16-byte blocks");
    if (expectedSize && paddedLength(*expectedSize) != length)
        return decryptionError(path, "It holds " + bytesText(length) +
                                         ", which cannot decrypt to its recorded size of " +
                                         bytesText(*expectedSize));
    if (length == 0) return decryptionError(path, "It is empty: it holds no encrypted block");
    return std::nullopt;
}

// AES-256-CBC with a zero IV; OpenSSL holds back the last block until finish() and checks
// and strips its PKCS#7 padding there.
class CbcDecryptor {
  public:
    explicit CbcDecryptor(const SecretKey& key) : context_(newCipherContext()) {
        const std::array<unsigned char, BlockSize> zeroIv{};
        ready_ = context_ && EVP_DecryptInit_ex(context_.get(), EVP_aes_256_cbc(), nullptr,
                                                key.data(), zeroIv.data()) == 1;
    }

    bool ready() const { return ready_; }

    // `out` has room for in.size() + BlockSize bytes; `in` is at most DecryptionChunkSize.
    std::optional<std::size_t> update(std::span<const std::byte> in, std::byte* out) {
        int written = 0;
        if (EVP_DecryptUpdate(context_.get(), reinterpret_cast<unsigned char*>(out), &written,
                              reinterpret_cast<const unsigned char*>(in.data()),
                              static_cast<int>(in.size())) != 1)
            return std::nullopt;
        return static_cast<std::size_t>(written);
    }

    // The last block without its padding; absent when the padding is damaged.
    std::optional<std::size_t> finish(std::byte* out) {
        int written = 0;
        if (EVP_DecryptFinal_ex(context_.get(), reinterpret_cast<unsigned char*>(out), &written) !=
            1)
            return std::nullopt;
        return static_cast<std::size_t>(written);
    }

  private:
    CipherContext context_;
    bool ready_ = false;
};

}  // namespace

ErrorSlot decryptStoredFile(const std::string& path, const SecretKey& key,
                            std::optional<std::uint64_t> expectedSize, const PlaintextSink& sink) {
    int errorNumber = 0;
    FileDescriptor input(openRegularFileForReading(path, 0, errorNumber));
    if (!input.valid()) {
        if (errorNumber == EINVAL) return decryptionError(path, "Not a regular file");
        return Error::fromErrno("Could not decrypt", path, errorNumber);
    }
    return decryptStoredFile(input.get(), path, key, expectedSize, sink);
}

ErrorSlot decryptStoredFile(int fd, const std::string& path, const SecretKey& key,
                            std::optional<std::uint64_t> expectedSize, const PlaintextSink& sink) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return Error::fromErrno("Could not decrypt", path, errno);
    if (!S_ISREG(status.st_mode)) return decryptionError(path, "Not a regular file");
    const auto length = static_cast<std::uint64_t>(status.st_size);
    // An empty file recorded as empty has nothing to decrypt.
    if (length == 0 && expectedSize == std::uint64_t{0}) return std::nullopt;
    if (ErrorSlot problem = checkLength(path, length, expectedSize)) return problem;

    CbcDecryptor decryptor(key);
    if (!decryptor.ready()) return decryptionError(path, "AES-256-CBC is not available");
    std::vector<std::byte> ciphertext(DecryptionChunkSize);
    std::vector<std::byte> plaintext(DecryptionChunkSize + BlockSize);
    std::uint64_t produced = 0;
    for (;;) {
        long got = readUpTo(fd, ciphertext);
        if (got < 0) return Error::fromErrno("Could not decrypt", path, errno);
        if (got == 0) break;
        auto piece = decryptor.update(std::span(ciphertext).first(static_cast<std::size_t>(got)),
                                      plaintext.data());
        if (!piece) return decryptionError(path, "AES-256-CBC failed");
        produced += *piece;
        if (*piece == 0) continue;
        if (ErrorSlot problem = sink(std::span(plaintext).first(*piece))) return problem;
    }
    auto last = decryptor.finish(plaintext.data());
    if (!last)
        return decryptionError(path, "Its padding is damaged: the key is wrong or the file is");
    produced += *last;
    if (expectedSize && produced != *expectedSize)
        return decryptionError(path, "It decrypts to " + bytesText(produced) +
                                         ", but its recorded size is " + bytesText(*expectedSize));
    return *last == 0 ? std::nullopt : sink(std::span(plaintext).first(*last));
}

PlaintextSink descriptorSink(int fd, std::string path) {
    return [fd, path = std::move(path)](std::span<const std::byte> piece) -> ErrorSlot {
        if (!writeAll(fd, piece)) return Error::fromErrno("Could not write", path, errno);
        return std::nullopt;
    };
}

}  // namespace salvora
