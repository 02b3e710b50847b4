// Saving the files of encrypted backups: decrypted piece by piece, whole or not at all, and
// dated as they were on the phone.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/Catalog.h"
#include "crypto/StoredFileDecryption.h"
#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
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

    // The files of the one application "notes", with the backup unlocked.
    const std::vector<FileRecord>& unlockedFiles() {
        EXPECT_FALSE(catalog.unlockBackup(backup.folder(), backup.keybag().password));
        catalog.buildCatalog(device);
        return device.applications->at("notes")->files;
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

TEST_F(EncryptedSaveTest, WithoutTheKeysNothingIsSaved) {
    backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha");
    const FileRecord file = unlockedFiles()[0];
    auto outcome = saveFile(backup.folder(), file, destination / "a.txt");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->description(),
              "Could not decrypt \"" + backup / file.name +
                  "\": The backup is encrypted and has not been unlocked with its password");
    EXPECT_EQ(*directoryContents(destination.path()), std::vector<std::string>{});
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
    testing::Values(
        BrokenFile{"CutMidBlock",
                   {.contents = std::string(40, 'x'), .stored = {.truncateBy = 5}},
                   "Its length, 43 bytes, is not a whole number of 16-byte blocks"},
        BrokenFile{"CutByABlock",
                   {.contents = std::string(40, 'x'), .stored = {.truncateBy = 16}},
                   "It holds 32 bytes, which cannot decrypt to its recorded size of 40 bytes"},
        BrokenFile{"PaddingDamaged",
                   {.contents = std::string(40, 'x'), .stored = {.damagePadding = true}},
                   "Its padding is damaged: the key is wrong or the file is"},
        BrokenFile{"PaddingDisagreesWithSize",
                   {.contents = std::string(20, 'x'), .recordedSize = 24},
                   "It decrypts to 20 bytes, but its recorded size is 24 bytes"},
        BrokenFile{"FileKeyTampered",
                   {.contents = "x", .stored = {.tamperKey = true}},
                   "The key wrapped with protection class 3 is damaged"},
        BrokenFile{"ClassKeyLost",
                   {.contents = "x", .protectionClass = 2},
                   "The keybag has no key for protection class 2"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora
