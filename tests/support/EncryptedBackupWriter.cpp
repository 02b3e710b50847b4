#include "support/EncryptedBackupWriter.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {

Bytes encryptCbcWithPadding(std::span<const std::byte> key, std::span<const std::byte> plaintext,
                            bool padding) {
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(),
                                                                            &EVP_CIPHER_CTX_free);
    const std::array<unsigned char, 16> zeroIv{};
    Bytes ciphertext(plaintext.size() + 16);
    int written = 0;
    int finalWritten = 0;
    auto out = reinterpret_cast<unsigned char*>(ciphertext.data());
    if (EVP_EncryptInit_ex(context.get(), EVP_aes_256_cbc(), nullptr,
                           reinterpret_cast<const unsigned char*>(key.data()),
                           zeroIv.data()) != 1 ||
        EVP_CIPHER_CTX_set_padding(context.get(), padding ? 1 : 0) != 1 ||
        EVP_EncryptUpdate(context.get(), out, &written,
                          reinterpret_cast<const unsigned char*>(plaintext.data()),
                          static_cast<int>(plaintext.size())) != 1 ||
        EVP_EncryptFinal_ex(context.get(), out + written, &finalWritten) != 1)
        throw std::runtime_error("AES-256-CBC encryption failed");
    ciphertext.resize(static_cast<std::size_t>(written + finalWritten));
    return ciphertext;
}

}  // namespace

Bytes encryptCbc(std::span<const std::byte> key, std::span<const std::byte> plaintext) {
    return encryptCbcWithPadding(key, plaintext, true);
}

Bytes encryptBlocks(std::span<const std::byte> key, std::span<const std::byte> blocks) {
    return encryptCbcWithPadding(key, blocks, false);
}

std::vector<std::pair<std::string, PlistValue>> encryptionEntries(const FixtureKeybag& keybag,
                                                                  const ManifestOptions& options) {
    std::vector<std::pair<std::string, PlistValue>> entries{
        {"IsEncrypted", PlistValue::boolean(options.isEncrypted)},
        {"BackupKeyBag", PlistValue::data(keybag.encode())}};
    if (options.withManifestKey) {
        Bytes manifestKey = keybag.wrapWithClass(options.manifestClass, options.manifestKey);
        if (options.tamperManifestKey) manifestKey = tampered(std::move(manifestKey), 20);
        entries.emplace_back("ManifestKey", PlistValue::data(manifestKey));
    }
    return entries;
}

Bytes storedManifestDb(std::span<const std::byte> database, const ManifestOptions& options) {
    if (!options.encryptManifestDb) return Bytes(database.begin(), database.end());
    // A database is whole pages, so whole blocks: it needs no padding.
    if (!options.padManifestDb) return encryptBlocks(options.manifestKey, database);
    return encryptCbc(options.manifestKey, database);
}

void writeEncryptedManifest(const std::string& folder, const FixtureKeybag& keybag,
                            std::span<const std::byte> database, const ManifestOptions& options) {
    PlistValue manifest = PlistValue::dictionary({{"Version", PlistValue::string("10.0")}});
    for (const auto& [key, value] : encryptionEntries(keybag, options)) manifest.set(key, value);
    manifest.write(folder + "/Manifest.plist", PlistFormat::Binary);
    writeFile(folder + "/Manifest.db", storedManifestDb(database, options));
}

Bytes writeEncryptedFile(const std::string& path, const FixtureKeybag& keybag,
                         std::uint32_t protectionClass, std::span<const std::byte> contents,
                         const Bytes& fileKey, const StoredFileOptions& options) {
    Bytes stored;
    if (options.damagePadding) {
        // As long as real padding would be, so only the decryption can tell.
        Bytes blocks(contents.begin(), contents.end());
        blocks.resize(contents.size() + 16 - contents.size() % 16, std::byte{0});
        stored = encryptBlocks(fileKey, blocks);
    } else {
        stored = encryptCbc(fileKey, contents);
    }
    stored.resize(stored.size() - std::min(options.truncateBy, stored.size()));
    writeFile(path, stored);
    Bytes key = keybag.wrapWithClass(protectionClass, fileKey);
    return options.tamperKey ? tampered(std::move(key), 20) : key;
}

}  // namespace salvora::test
