#include "support/EncryptedBackupWriter.h"

#include <openssl/evp.h>

#include <array>
#include <memory>
#include <stdexcept>

#include "support/PlistValue.h"
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

void writeEncryptedManifest(const std::string& folder, const FixtureKeybag& keybag,
                            std::span<const std::byte> database, const ManifestOptions& options) {
    PlistValue manifest = PlistValue::dictionary({
        {"IsEncrypted", PlistValue::boolean(options.isEncrypted)},
        {"BackupKeyBag", PlistValue::data(keybag.encode())},
        {"Version", PlistValue::string("10.0")},
    });
    if (options.withManifestKey) {
        Bytes manifestKey = keybag.wrapWithClass(options.manifestClass, options.manifestKey);
        if (options.tamperManifestKey) manifestKey = tampered(std::move(manifestKey), 20);
        manifest.set("ManifestKey", PlistValue::data(manifestKey));
    }
    manifest.write(folder + "/Manifest.plist", PlistFormat::Binary);
    writeFile(folder + "/Manifest.db", options.encryptDatabase
                                           ? encryptCbc(options.manifestKey, database)
                                           : Bytes(database.begin(), database.end()));
}

Bytes writeEncryptedFile(const std::string& path, const FixtureKeybag& keybag,
                         std::uint32_t protectionClass, std::span<const std::byte> contents,
                         const Bytes& fileKey) {
    writeFile(path, encryptCbc(fileKey, contents));
    return keybag.wrapWithClass(protectionClass, fileKey);
}

}  // namespace salvora::test
