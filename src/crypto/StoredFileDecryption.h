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
using PlaintextSink = std::function<ErrorSlot(std::span<const std::byte>)>;

// Decrypts the file at `path` into `sink`. With `expectedSize` (the recorded Size), a file
// whose plaintext would have any other length fails, before anything is decrypted when its
// length already tells. A damaged padding fails too. The end of the file is checked only
// after the sink has received everything before it: on an error, throw away what it got.
ErrorSlot decryptStoredFile(const std::string& path, const SecretKey& key,
                            std::optional<std::uint64_t> expectedSize, const PlaintextSink& sink);

// The same for a stored file just opened for reading (reached without a link, say); `path`
// names it in errors.
ErrorSlot decryptStoredFile(int fd, const std::string& path, const SecretKey& key,
                            std::optional<std::uint64_t> expectedSize, const PlaintextSink& sink);

// A sink that writes to an open descriptor; `path` names it in errors.
PlaintextSink descriptorSink(int fd, std::string path);

}  // namespace salvora
