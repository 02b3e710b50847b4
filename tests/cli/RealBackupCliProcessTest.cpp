// The real salvora-cli process on backups as they come: decrypted by other tools with every
// trace of their encryption left, and encrypted ones whose files don't decrypt to the length
// their records give.
#include <gtest/gtest.h>

#include "support/DecryptedBackup.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {

test::ProcessResult salvoraCli(const std::vector<std::string>& args,
                               const std::optional<std::string>& standardInput = std::nullopt) {
    return test::runProcess(SALVORA_CLI_PATH, args, standardInput);
}

class DecryptedBackupProcess : public testing::TestWithParam<test::DecryptedTrace> {};

TEST_P(DecryptedBackupProcess, ListsAndSavesEveryFileWithoutAPassword) {
    test::TemporaryFolder folder;
    test::DecryptedBackup backup(folder / "backup", GetParam());
    backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha");
    backup.addFile("KeychainDomain", "keychain-backup.plist", "bravo");
    const auto before = test::folderSnapshot(backup.folder());

    auto apps = salvoraCli({"apps", backup.folder()});
    EXPECT_EQ(apps.status, 0) << apps.err;
    EXPECT_EQ(apps.out, "KeychainDomain\tKeychain\t1\ncom.example.notes\tNotes\t1\n");
    auto extract = salvoraCli({"extract", backup.folder(), "--all", folder / "out"});
    EXPECT_EQ(extract.status, 0) << extract.err;
    EXPECT_EQ(extract.err, "");
    EXPECT_EQ(test::readText(folder / "out/com.example.notes/Documents/a.txt"), "alpha");
    EXPECT_EQ(test::readText(folder / "out/KeychainDomain/keychain-backup.plist"), "bravo");
    EXPECT_EQ(test::folderSnapshot(backup.folder()), before);
}

INSTANTIATE_TEST_SUITE_P(EveryTrace, DecryptedBackupProcess,
                         testing::ValuesIn(test::everyDecryptedTrace()), test::traceName);

TEST(EncryptedBackupProcess, FilesOfAnotherLengthAreSavedWithAWarningLineEach) {
    test::TemporaryFolder folder;
    test::EncryptedBackup backup(folder / "backup", test::EncryptedCatalogue::EncryptedManifestDb,
                                 {}, {.padManifestDb = false});
    backup.addFile("HomeDomain", "Library/SMS/sms.db", "alpha");
    backup.addFile({.domain = "HomeDomain",
                    .path = "Library/grew.db",
                    .contents = std::string(20, 'g'),
                    .recordedSize = 24});
    backup.addFile({.domain = "HomeDomain",
                    .path = "Library/unpadded.bin",
                    .contents = std::string(40, 'u'),
                    .stored = {.damagePadding = true}});
    test::writeFile(folder / "password", backup.keybag().password + "\n");

    auto result = salvoraCli({"extract", backup.folder(), "HomeDomain", folder / "out",
                              "--password-file", folder / "password"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, "Saved 3 files, 0 failed\n");
    EXPECT_EQ(result.err,
              "salvora-cli: warning: " + folder / "out/Library/grew.db" +
                  ": its length is 20 bytes, but its recorded size is 24 bytes\n"
                  "salvora-cli: warning: " +
                  folder / "out/Library/unpadded.bin" +
                  ": its length is 48 bytes, but its recorded size is 40 bytes; its last block "
                  "is not valid padding, so it was kept whole\n");
    EXPECT_EQ(test::readText(folder / "out/Library/SMS/sms.db"), "alpha");
    EXPECT_EQ(test::readText(folder / "out/Library/grew.db"), std::string(20, 'g'));
    EXPECT_EQ(test::readText(folder / "out/Library/unpadded.bin"),
              std::string(40, 'u') + std::string(8, '\0'));
}

}  // namespace
}  // namespace salvora
