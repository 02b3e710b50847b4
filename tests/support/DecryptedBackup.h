#pragma once

// A backup as tools that decrypt one leave it: its catalogue and stored files plain, but every
// record still carrying the encryption key the phone gave its file, and "Manifest.plist"
// removed, rewritten to say the backup is plain, or left as it was.
//
//   DecryptedBackup backup(folder.path(), DecryptedCatalogue::ManifestDb,
//                          ManifestPlistLeft::Removed);
//   backup.addFile("HomeDomain", "Library/SMS/sms.db", "contents");
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/BackupWriter.h"
#include "support/KeybagWriter.h"

namespace salvora::test {

enum class DecryptedCatalogue {
    ManifestDb,        // iOS 10 on
    UnindexedDatabase  // iOS 5 to 9: "Manifest.mbdb" without index
};

enum class ManifestPlistLeft {
    Removed,    // only "Info.plist" and the catalogue are left
    SaysPlain,  // "IsEncrypted" false, the "BackupKeyBag" kept, as in every real one
    Untouched   // "IsEncrypted" true with the "BackupKeyBag" and "ManifestKey"
};

// Each catalogue with what tools leave of "Manifest.plist" beside it, for parameterised tests.
struct DecryptedTrace {
    DecryptedCatalogue catalogue;
    ManifestPlistLeft left;
};
std::vector<DecryptedTrace> everyDecryptedTrace();
std::string traceName(const testing::TestParamInfo<DecryptedTrace>& info);

class DecryptedBackup {
  public:
    DecryptedBackup(std::string folder, DecryptedCatalogue catalogue, ManifestPlistLeft left);
    DecryptedBackup(std::string folder, DecryptedTrace trace)
        : DecryptedBackup(std::move(folder), trace.catalogue, trace.left) {}

    const std::string& folder() const { return backup_.folder(); }
    std::string operator/(std::string_view name) const { return backup_ / name; }

    // Stores the file as it is, its record keyed as the phone keyed it. Returns the stored name.
    std::string addFile(const std::string& domain, const std::string& path,
                        std::string_view contents, std::uint32_t lastModified = 0);

  private:
    BackupWriter backup_;
    DecryptedCatalogue catalogue_;
    FixtureKeybag keybag_;
    std::uint8_t fileCount_ = 0;
};

}  // namespace salvora::test
