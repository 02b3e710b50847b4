#include "support/DecryptedBackup.h"

#include "support/EncryptedBackupWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {

std::vector<DecryptedTrace> everyDecryptedTrace() {
    using enum ManifestPlistLeft;
    return {{DecryptedCatalogue::ManifestDb, Removed},
            {DecryptedCatalogue::ManifestDb, SaysPlain},
            {DecryptedCatalogue::ManifestDb, Untouched},
            {DecryptedCatalogue::UnindexedDatabase, Removed},
            {DecryptedCatalogue::UnindexedDatabase, SaysPlain}};
}

std::string traceName(const testing::TestParamInfo<DecryptedTrace>& info) {
    const char* catalogues[] = {"ManifestDb", "UnindexedDatabase"};
    const char* left[] = {"ManifestPlistRemoved", "SaysPlain", "ManifestPlistUntouched"};
    return std::string(catalogues[static_cast<int>(info.param.catalogue)]) +
           left[static_cast<int>(info.param.left)];
}

DecryptedBackup::DecryptedBackup(std::string folder, DecryptedCatalogue catalogue,
                                 ManifestPlistLeft left)
    : backup_(std::move(folder)), catalogue_(catalogue) {
    if (catalogue_ == DecryptedCatalogue::UnindexedDatabase)
        writeFile(backup_ / "Manifest.mbdb", unindexedDatabaseBytes({}));
    else
        appendManifestDbRows(backup_ / "Manifest.db", {});
    if (left == ManifestPlistLeft::Removed) return;
    ManifestOptions options;
    options.isEncrypted = left == ManifestPlistLeft::Untouched;
    options.withManifestKey =
        left == ManifestPlistLeft::Untouched && catalogue_ == DecryptedCatalogue::ManifestDb;
    for (const auto& [key, value] : encryptionEntries(keybag_, options))
        backup_.setManifestPlistValue(key, value);
}

std::string DecryptedBackup::addFile(const std::string& domain, const std::string& path,
                                     std::string_view contents, std::uint32_t lastModified) {
    const Bytes key =
        keybag_.wrapWithClass(3, countingBytes(static_cast<std::uint8_t>(0xB0 + fileCount_++)));
    if (catalogue_ == DecryptedCatalogue::UnindexedDatabase)
        return backup_.addUnindexedDatabaseFile(domain, path, contents, lastModified, key);
    return backup_.addManifestDbFile(domain, path, contents, lastModified, key);
}

}  // namespace salvora::test
