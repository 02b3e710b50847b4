#pragma once

// Writes the encrypted parts of a backup folder: "Manifest.plist" with the keybag and the
// "ManifestKey", an encrypted "Manifest.db", and encrypted stored files, all for a
// FixtureKeybag's password. Options make the broken ones tests need.
#include <cstdint>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "support/KeybagWriter.h"
#include "support/PlistValue.h"

namespace salvora::test {

// AES-256-CBC with a zero IV and PKCS#7 padding, as the phone stores files.
Bytes encryptCbc(std::span<const std::byte> key, std::span<const std::byte> plaintext);
// The same without padding: `blocks` must be whole 16-byte blocks; its last bytes are taken
// as the padding, which makes a damaged padding possible.
Bytes encryptBlocks(std::span<const std::byte> key, std::span<const std::byte> blocks);

struct ManifestOptions {
    bool isEncrypted = true;         // what "IsEncrypted" claims
    bool encryptManifestDb = true;     // false: "Manifest.db" is written as it is
    bool padManifestDb = true;         // false: encrypted without padding, as some tools do
    bool withManifestKey = true;     // false: no "ManifestKey" entry, as before iOS 10.2
    bool tamperManifestKey = false;  // flips a bit of the wrapped "ManifestKey"
    std::uint32_t manifestClass = 4;
    Bytes manifestKey = countingBytes(0xA0);
};

// The entries of "Manifest.plist" that encryption adds: "IsEncrypted", "BackupKeyBag" and,
// unless left out, "ManifestKey".
std::vector<std::pair<std::string, PlistValue>> encryptionEntries(const FixtureKeybag& keybag,
                                                                  const ManifestOptions& options);

// "Manifest.db" as the backup stores it: `database` encrypted with the manifest key, or as
// it is.
Bytes storedManifestDb(std::span<const std::byte> database, const ManifestOptions& options);

// Writes "Manifest.plist" (binary) and "Manifest.db" with `database` as its plaintext.
void writeEncryptedManifest(const std::string& folder, const FixtureKeybag& keybag,
                            std::span<const std::byte> database,
                            const ManifestOptions& options = {});

// How a stored file is broken on purpose.
struct StoredFileOptions {
    bool tamperKey = false;      // flips a bit of the wrapped file key its record holds
    std::size_t truncateBy = 0;  // bytes cut off the end of the stored file
    // Encrypted without padding, the last block filled up with zeros, as some tools do.
    bool damagePadding = false;
};

// Encrypts `contents` with `fileKey` into `path` and returns the file's encryption key as
// its record holds it (the class and the wrapped key; see FixtureKeybag::wrapWithClass).
Bytes writeEncryptedFile(const std::string& path, const FixtureKeybag& keybag,
                         std::uint32_t protectionClass, std::span<const std::byte> contents,
                         const Bytes& fileKey = countingBytes(0xB0),
                         const StoredFileOptions& options = {});

}  // namespace salvora::test
