#pragma once

// Decryption of a backup's stored files: AES-256-CBC with a zero IV and PKCS#7 padding,
// streamed in pieces so that files of several GiB take no more memory than small ones.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "crypto/SecretKey.h"
#include "foundation/Error.h"

namespace salvora {

// The most ciphertext read, and so the most plaintext handed on, at a time.
inline constexpr std::size_t DecryptionChunkSize = std::size_t{1} << 20;

// Receives the plaintext piece by piece; an error it returns stops the decryption and
// becomes the decryption's error.
using PlaintextSink = std::function<Status(std::span<const std::byte>)>;

// A file that decrypted, but not to what its record says: its plaintext is kept whole rather
// than lost (files such as databases change while the phone backs them up), and the user is
// told.
struct LengthWarning {
    std::uint64_t length = 0;               // the plaintext handed on
    std::optional<std::uint64_t> recorded;  // the recorded Size
    bool lastBlockKept = false;             // its last block is no valid padding, so it was kept

    // "its length is 44 bytes, but its recorded size is 40 bytes"
    std::string description() const;
    bool operator==(const LengthWarning&) const = default;
};

// A file decrypted: only one that can't be decrypted at all fails.
struct Decryption {
    std::uint64_t length = 0;              // plaintext bytes handed to the sink
    std::size_t strippedPadding = 0;       // 0 when the last block was kept whole
    std::optional<LengthWarning> warning;  // absent when the plaintext is what was recorded
};

// Decrypts the file at `path` into `sink`. Its padding is stripped where valid; a last block
// that is no valid padding is handed on whole. With `expectedSize` (the recorded Size), the
// reading that gives that size wins, and a length that agrees with neither reading is a
// warning, not a failure. Only a length that is not a whole number of blocks, or a read or
// sink error, fails; the sink has then received part of the plaintext: throw it away.
Result<Decryption> decryptStoredFile(const std::string& path, const SecretKey& key,
                                     std::optional<std::uint64_t> expectedSize,
                                     const PlaintextSink& sink);

// The same for a stored file just opened for reading (reached without a link, say); `path`
// names it in errors. Stops, without judging the end, once `wanted` bytes were handed on: for a
// reader that needs only a file's start.
Result<Decryption> decryptStoredFile(int fd, const std::string& path, const SecretKey& key,
                                     std::optional<std::uint64_t> expectedSize,
                                     const PlaintextSink& sink, std::uint64_t wanted = UINT64_MAX);

// A sink that writes to an open descriptor; `path` names it in errors.
PlaintextSink descriptorSink(int fd, std::string path);

}  // namespace salvora
