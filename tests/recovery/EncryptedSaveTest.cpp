// Saving the files of encrypted backups: decrypted piece by piece, whole or not at all, and
// dated as they were on the phone.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/Catalog.h"
#include "crypto/StoredFileDecryption.h"
#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/DecryptedBackup.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"

namespace salvora {
namespace {
using test::EncryptedBackup;
using test::EncryptedCatalogue;
using test::EncryptedFile;
using test::modificationSeconds;
using test::readText;

// Spans several decryption pieces, so the streaming is what is tested.
std::string largeContents() {
    std::string contents(2 * DecryptionChunkSize + 1234, '\0');
    for (std::size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i * 31 % 251);
    return contents;
}

// An encrypted backup, opened with its password the way the front ends open it.
class EncryptedSaveTest : public testing::Test {
  protected:
    explicit EncryptedSaveTest(
        EncryptedCatalogue catalogue = EncryptedCatalogue::EncryptedManifestDb,
        test::FixtureKeybag keybag = {})
        : backup(folder / "backup", catalogue, std::move(keybag)) {}

    // The files of the one application "com.example.notes", with the backup unlocked.
    const std::vector<FileRecord>& unlockedFiles() {
        EXPECT_TRUE(catalog.unlockBackup(backup.folder(), backup.keybag().password));
        catalog.buildCatalogForDevice(device);
        return device.applications->at("com.example.notes")->files;
    }
    const UnlockedKeybag* keybag() const { return catalog.keybagFor(backup.folder()).get(); }

    test::TemporaryFolder folder;
    EncryptedBackup backup;
    test::TemporaryFolder destination;
    Catalog catalog;
    DeviceRecord device{"Phone", std::nullopt, backup.folder(), nullptr};
    LogCapture log;
};

class EveryEncryptedCatalogue : public EncryptedSaveTest,
                                public testing::WithParamInterface<EncryptedCatalogue> {
  protected:
    EveryEncryptedCatalogue() : EncryptedSaveTest(GetParam()) {}
};

TEST_P(EveryEncryptedCatalogue, SavesThePlaintextDatedAsOnThePhone) {
    const std::string large = largeContents();
    backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha", 1'500'000'000);
    backup.addFile("AppDomain-com.example.notes", "Library/large.bin", large, 1'400'000'000);
    backup.addFile("AppDomain-com.example.notes", "Library/empty", "", 1'300'000'000);
    const auto before = test::folderSnapshot(backup.folder());

    const auto& files = unlockedFiles();
    auto outcomes = saveAll(backup.folder(), files, destination / "all", {}, keybag());
    ASSERT_EQ(outcomes.size(), 3u);
    for (const auto& outcome : outcomes)
        EXPECT_FALSE(outcome.error) << outcome.error->description();
    EXPECT_EQ(readText(destination / "all/Documents/a.txt"), "alpha");
    EXPECT_TRUE(readText(destination / "all/Library/large.bin") == large);
    EXPECT_EQ(readText(destination / "all/Library/empty"), "");
    EXPECT_EQ(modificationSeconds(destination / "all/Documents/a.txt"), 1'500'000'000);
    EXPECT_EQ(modificationSeconds(destination / "all/Library/large.bin"), 1'400'000'000);
    EXPECT_EQ(modificationSeconds(destination / "all/Library/empty"), 1'300'000'000);

    auto one = saveFile(backup.folder(), files[0], destination / "one.txt", keybag());
    EXPECT_FALSE(one.error);
    EXPECT_EQ(readText(destination / "one.txt"), "alpha");
    EXPECT_EQ(modificationSeconds(destination / "one.txt"), 1'500'000'000);
    EXPECT_EQ(test::folderSnapshot(backup.folder()), before);
}

INSTANTIATE_TEST_SUITE_P(Recovery, EveryEncryptedCatalogue,
                         testing::Values(EncryptedCatalogue::EncryptedManifestDb,
                                         EncryptedCatalogue::PlainManifestDb,
                                         EncryptedCatalogue::UnindexedDatabase));

TEST(DecryptedBackupSave, KeysLeftInTheRecordsAreIgnored) {
    test::TemporaryFolder folder;
    test::DecryptedBackup backup(folder / "backup", test::DecryptedCatalogue::ManifestDb,
                                 test::ManifestPlistLeft::SaysPlain);
    backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha", 1'500'000'000);
    DeviceRecord device{"Phone", std::nullopt, backup.folder(), nullptr};
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    const FileRecord& file = device.applications->at("com.example.notes")->files[0];
    ASSERT_TRUE(file.encryptionKey());
    LogCapture log;
    auto outcome =
        saveFile(backup.folder(), file, folder / "a.txt", catalog.keybagFor(backup.folder()).get());
    EXPECT_FALSE(outcome.error);
    EXPECT_FALSE(outcome.warning);
    EXPECT_EQ(readText(folder / "a.txt"), "alpha");
    EXPECT_EQ(modificationSeconds(folder / "a.txt"), 1'500'000'000);
}

// Files that decrypt, but not to what their record says, are saved whole with a warning.
TEST_F(EncryptedSaveTest, AFileOfAnotherLengthIsSavedWholeWithAWarning) {
    backup.addFile({.domain = "AppDomain-com.example.notes",
                    .path = "Library/sms.db",
                    .contents = std::string(20, 'x'),
                    .recordedSize = 24});
    backup.addFile({.domain = "AppDomain-com.example.notes",
                    .path = "Library/unpadded.bin",
                    .contents = std::string(40, 'y'),
                    .stored = {.damagePadding = true}});
    const auto& files = unlockedFiles();
    auto outcomes = saveAll(backup.folder(), files, destination.path(), {}, keybag());
    ASSERT_EQ(outcomes.size(), 2u);
    for (const auto& outcome : outcomes) {
        EXPECT_FALSE(outcome.error);
        ASSERT_TRUE(outcome.warning);
    }
    EXPECT_EQ(outcomes[0].warning->description(),
              "its length is 20 bytes, but its recorded size is 24 bytes");
    EXPECT_EQ(readText(destination / "Library/sms.db"), std::string(20, 'x'));
    EXPECT_EQ(readText(destination / "Library/unpadded.bin"),
              std::string(40, 'y') + std::string(8, '\0'));
}

TEST_F(EncryptedSaveTest, AnExistingTargetIsKeptAndNothingIsDecrypted) {
    backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha");
    test::writeFile(destination / "a.txt", "already there");
    const FileRecord file = unlockedFiles()[0];
    auto outcome = saveFile(backup.folder(), file, destination / "a.txt", keybag());
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->reason, "File exists");
    EXPECT_EQ(readText(destination / "a.txt"), "already there");
}

TEST_F(EncryptedSaveTest, AStoredFileThatIsALinkIsNotFollowed) {
    const std::string stored = backup.addFile("AppDomain-com.example.notes", "a.txt", "alpha");
    const FileRecord file = unlockedFiles()[0];
    std::filesystem::rename(backup / stored, folder / "elsewhere");
    std::filesystem::create_symlink(folder / "elsewhere", backup / stored);
    auto outcome = saveFile(backup.folder(), file, destination / "a.txt", keybag());
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->description(),
              "Could not read \"" + backup / stored + "\": Is a symbolic link");
    EXPECT_EQ(*directoryContents(destination.path()), std::vector<std::string>{});
}

struct BrokenFile {
    const char* name;
    EncryptedFile file;
    std::string reason;
};

void PrintTo(const BrokenFile& broken, std::ostream* out) { *out << broken.name; }

// The keybag of these backups lost the key of class 2 to a tampered wrapping.
class BrokenFileTest : public EncryptedSaveTest, public testing::WithParamInterface<BrokenFile> {
  protected:
    static test::FixtureKeybag withoutClassTwo() {
        test::FixtureKeybag keybag;
        keybag.tamperedClasses = {2};
        return keybag;
    }
    BrokenFileTest()
        : EncryptedSaveTest(EncryptedCatalogue::EncryptedManifestDb, withoutClassTwo()) {}
};

TEST_P(BrokenFileTest, FailsWithItsReasonAndLeavesNoFileWhileTheOthersAreSaved) {
    EncryptedFile broken = GetParam().file;
    broken.domain = "AppDomain-com.example.notes";
    broken.path = "Documents/broken.txt";
    const std::string stored = backup.addFile(broken);
    backup.addFile("AppDomain-com.example.notes", "Documents/sound.txt", "sound");

    const auto& files = unlockedFiles();
    auto outcomes = saveAll(backup.folder(), files, destination.path(), {}, keybag());
    ASSERT_EQ(outcomes.size(), 2u);
    ASSERT_TRUE(outcomes[0].error);
    EXPECT_EQ(outcomes[0].error->path, backup / stored);
    EXPECT_EQ(outcomes[0].error->reason, GetParam().reason);
    EXPECT_FALSE(outcomes[1].error);
    // Not even a part of the broken file, nor a temporary file, is left.
    EXPECT_EQ(*directoryContents(destination / "Documents"), std::vector<std::string>{"sound.txt"});
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenFileTest,
    testing::Values(BrokenFile{"CutMidBlock",
                               {.contents = std::string(40, 'x'), .stored = {.truncateBy = 5}},
                               "Its length, 43 bytes, is not a whole number of 16-byte blocks"},
                    BrokenFile{"FileKeyTampered",
                               {.contents = "x", .stored = {.tamperKey = true}},
                               "The key wrapped with protection class 3 is damaged"},
                    BrokenFile{"ClassKeyLost",
                               {.contents = "x", .protectionClass = 2},
                               "The keybag has no key for protection class 2"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora
