#pragma once

// A whole encrypted backup for a known password, with the catalogue of any iOS version that
// encrypts, so tests open it the way a user does; options break it the ways tests need. Every
// add rewrites the catalogue, so a test can read the folder after any step.
//
//   EncryptedBackup backup(folder.path());  // iOS 10.2 on: "Manifest.db" encrypted too
//   backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "hello");
//   ASSERT_TRUE(catalog.unlockBackup(folder.path(), backup.keybag().password));
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/BackupWriter.h"
#include "support/EncryptedBackupWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {

enum class EncryptedCatalogue {
    EncryptedManifestDb,  // iOS 10.2 on: "Manifest.db" encrypted with the "ManifestKey"
    PlainManifestDb,      // iOS 10.0 and 10.1: "Manifest.db" plain, only the files encrypted
    UnindexedDatabase     // iOS 5 to 9: "Manifest.mbdb", each file's key in its record
};

struct EncryptedFile {
    std::string domain{};
    std::string path{};
    std::string contents{};
    std::uint32_t lastModified = 0;  // seconds since 1970
    std::uint32_t protectionClass = 3;
    // The Size its record gives; absent: the length of the contents.
    std::optional<std::uint64_t> recordedSize{};
    StoredFileOptions stored{};
    // In Manifest.db: what its row says the item is.
    ManifestDbItemType type{};
};

class EncryptedBackup {
  public:
    // Writes "Manifest.plist" and an empty catalogue. The options' "ManifestKey" and database
    // encryption count only for EncryptedManifestDb.
    explicit EncryptedBackup(std::string folder,
                             EncryptedCatalogue catalogue = EncryptedCatalogue::EncryptedManifestDb,
                             FixtureKeybag keybag = {}, ManifestOptions options = {});

    const FixtureKeybag& keybag() const { return keybag_; }
    const std::string& folder() const { return backup_.folder(); }
    std::string operator/(std::string_view name) const { return backup_ / name; }

    // Stores the file encrypted with a key of its own and records it in the catalogue.
    // Returns the stored name.
    std::string addFile(const EncryptedFile& file);
    std::string addFile(std::string domain, std::string path, std::string contents,
                        std::uint32_t lastModified = 0);

  private:
    void writeManifestDb(const std::vector<ManifestDbRow>& newRows);

    BackupWriter backup_;
    EncryptedCatalogue catalogue_;
    FixtureKeybag keybag_;
    ManifestOptions options_;
    std::size_t fileCount_ = 0;
    // The plaintext of an encrypted "Manifest.db", kept away from the backup.
    TemporaryFolder scratch_;
};

}  // namespace salvora::test
