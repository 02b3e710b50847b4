#include "crypto/StoredFileDecryption.h"

#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstring>
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

// The length of the PKCS#7 padding that ends the block; 0 when it ends in none.
std::size_t paddingOf(std::span<const std::byte, BlockSize> lastBlock) {
    const auto length = std::to_integer<std::size_t>(lastBlock.back());
    if (length == 0 || length > BlockSize) return 0;
    for (std::size_t i = BlockSize - length; i < BlockSize; ++i)
        if (std::to_integer<std::size_t>(lastBlock[i]) != length) return 0;
    return length;
}

// How much of the last block to keep, given all that was decrypted (`whole` bytes) and its
// padding: the reading that matches the recorded size wins; otherwise valid padding is
// stripped and anything else kept, with a warning either way.
struct Ending {
    std::size_t kept;
    std::optional<LengthWarning> warning;
};

Ending endingOf(std::uint64_t whole, std::size_t padding,
                std::optional<std::uint64_t> expectedSize) {
    const bool padded = padding != 0;
    if (padded && expectedSize == whole - padding) return {BlockSize - padding, std::nullopt};
    if (expectedSize == whole) return {BlockSize, std::nullopt};
    if (!padded) return {BlockSize, LengthWarning{whole, expectedSize, true}};
    std::optional<LengthWarning> warning;
    if (expectedSize) warning = LengthWarning{whole - padding, expectedSize, false};
    return {BlockSize - padding, warning};
}

// AES-256-CBC with a zero IV and no padding of OpenSSL's: the last block is judged here.
class CbcDecryptor {
  public:
    explicit CbcDecryptor(const SecretKey& key) : context_(newCipherContext()) {
        const std::array<unsigned char, BlockSize> zeroIv{};
        ready_ = context_ &&
                 EVP_DecryptInit_ex(context_.get(), EVP_aes_256_cbc(), nullptr, key.data(),
                                    zeroIv.data()) == 1 &&
                 EVP_CIPHER_CTX_set_padding(context_.get(), 0) == 1;
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

  private:
    CipherContext context_;
    bool ready_ = false;
};

}  // namespace

std::string LengthWarning::description() const {
    std::string text = "its length is " + bytesText(length);
    if (recorded && *recorded != length)
        text += ", but its recorded size is " + bytesText(*recorded);
    if (lastBlockKept) text += "; its last block is not valid padding, so it was kept whole";
    return text;
}

Result<Decryption> decryptStoredFile(const std::string& path, const SecretKey& key,
                                     std::optional<std::uint64_t> expectedSize,
                                     const PlaintextSink& sink) {
    int errorNumber = 0;
    FileDescriptor input(openRegularFileForReading(path, 0, errorNumber));
    if (!input.valid()) {
        if (errorNumber == EINVAL) return decryptionError(path, "Not a regular file");
        return Error::fromErrno("Could not decrypt", path, errorNumber);
    }
    return decryptStoredFile(input.get(), path, key, expectedSize, sink);
}

Result<Decryption> decryptStoredFile(int fd, const std::string& path, const SecretKey& key,
                                     std::optional<std::uint64_t> expectedSize,
                                     const PlaintextSink& sink, std::uint64_t wanted) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) return Error::fromErrno("Could not decrypt", path, errno);
    if (!S_ISREG(status.st_mode)) return decryptionError(path, "Not a regular file");
    const auto length = static_cast<std::uint64_t>(status.st_size);
    if (length % BlockSize != 0)
        return decryptionError(
            path, "Its length, " + bytesText(length) + ", is not a whole number of 16-byte blocks");
    if (length == 0) {
        Decryption empty;
        if (expectedSize.value_or(0) != 0) empty.warning = LengthWarning{0, expectedSize, false};
        return empty;
    }

    CbcDecryptor decryptor(key);
    if (!decryptor.ready()) return decryptionError(path, "AES-256-CBC is not available");
    std::vector<std::byte> ciphertext(DecryptionChunkSize);
    // The last block decrypted is held at the front until the next piece, or the end, shows
    // whether it is the file's last.
    std::vector<std::byte> plaintext(BlockSize + DecryptionChunkSize + BlockSize);
    std::size_t held = 0;
    std::uint64_t handedOn = 0;
    for (;;) {
        long got = readUpTo(fd, ciphertext);
        if (got < 0) return Error::fromErrno("Could not decrypt", path, errno);
        if (got == 0) break;
        auto piece = decryptor.update(std::span(ciphertext).first(static_cast<std::size_t>(got)),
                                      plaintext.data() + held);
        if (!piece) return decryptionError(path, "AES-256-CBC failed");
        const std::size_t ready = held + *piece;
        if (ready < BlockSize) continue;
        const std::size_t passed = ready - BlockSize;
        if (passed > 0) {
            if (Status taken = sink(std::span(plaintext).first(passed)); !taken)
                return taken.error();
            handedOn += passed;
            if (handedOn >= wanted) return Decryption{handedOn, 0, std::nullopt};
        }
        std::memmove(plaintext.data(), plaintext.data() + passed, BlockSize);
        held = BlockSize;
    }
    // A file that shrank while it was read may leave no whole block.
    if (held != BlockSize) return decryptionError(path, "It ended while it was read");

    const std::size_t padding = paddingOf(std::span(plaintext).first<BlockSize>());
    const Ending ending = endingOf(handedOn + BlockSize, padding, expectedSize);
    if (ending.kept > 0) {
        if (Status taken = sink(std::span(plaintext).first(ending.kept)); !taken)
            return taken.error();
    }
    return Decryption{handedOn + ending.kept, BlockSize - ending.kept, ending.warning};
}

PlaintextSink descriptorSink(int fd, std::string path) {
    return [fd, path = std::move(path)](std::span<const std::byte> piece) -> Status {
        if (!writeAll(fd, piece)) return Error::fromErrno("Could not write", path, errno);
        return {};
    };
}

}  // namespace salvora
