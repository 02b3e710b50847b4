#include "discovery/Discovery.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/FileQueries.h"
#include "support/FixtureHome.h"

namespace salvora {
namespace {
using test::BackupRoot;
using test::FixtureHome;
using test::PlistFormat;
using test::PlistValue;

std::vector<std::string> directoriesOf(const DeviceList& devices) {
    std::vector<std::string> result;
    for (const auto& device : devices) result.push_back(device->directory);
    return result;
}

TEST(Discovery, RootsAndRecoveryFolderLieUnderTheHome) {
    FixtureHome home;
    EXPECT_EQ(backupDirPath(), home / "Application Data/Apple Computer/MobileSync/Backup");
    EXPECT_EQ(alternateBackupDirPath(), home / "AppData/Roaming/Apple Computer/MobileSync/Backup");
    EXPECT_EQ(storeBackupDirPath(), home / "Apple/MobileSync/Backup");
    EXPECT_EQ(macBackupDirPath(), home / "Library/Application Support/MobileSync/Backup");
    EXPECT_EQ(recoveryFolderPath(), home / "Desktop/Recovered iPhone Files");
}

TEST(Discovery, NoRootsGivesNoDevicesButStillCreatesTheRecoveryFolder) {
    FixtureHome home;
    std::filesystem::create_directory(home / "Desktop");
    EXPECT_TRUE(getDevices().empty());
    EXPECT_TRUE(isDirectory(home / "Desktop/Recovered iPhone Files"));
}

TEST(Discovery, RecoveryFolderIsCreatedOneLevelOnly) {
    FixtureHome home;
    getDevices();
    EXPECT_FALSE(fileExists(home / "Desktop"));
}

TEST(Discovery, ExistingRecoveryFolderStaysUntouched) {
    FixtureHome home;
    test::writeFile(home / "Desktop/Recovered iPhone Files/kept.txt", "kept");
    home.addBackup(BackupRoot::Primary, "one", "Phone");
    EXPECT_EQ(getDevices().size(), 1u);
    EXPECT_EQ(test::readText(home / "Desktop/Recovered iPhone Files/kept.txt"), "kept");
}

TEST(Discovery, ScanWithoutRecoveryFolderWritesNothing) {
    FixtureHome home;
    std::filesystem::create_directory(home / "Desktop");
    home.addBackup(BackupRoot::Primary, "one", "Phone");
    EXPECT_EQ(scanBackupRoots().size(), 1u);
    EXPECT_FALSE(fileExists(home / "Desktop/Recovered iPhone Files"));
}

TEST(Discovery, RootsAreScannedInOrderAndEachRootInNameOrder) {
    FixtureHome home;
    home.addBackup(BackupRoot::Mac, "m", "Mac");
    home.addBackup(BackupRoot::Alternate, "b", "Alt B");
    home.addBackup(BackupRoot::Store, "s", "Store");
    home.addBackup(BackupRoot::Primary, "z", "Primary Z");
    home.addBackup(BackupRoot::Alternate, "a", "Alt A");
    home.addBackup(BackupRoot::Primary, "y", "Primary Y");

    DeviceList devices = getDevices();
    std::vector<std::string> names;
    for (const auto& device : devices) names.push_back(device->name.value_or("?"));
    EXPECT_EQ(names, (std::vector<std::string>{"Primary Y", "Primary Z", "Alt A", "Alt B", "Store",
                                               "Mac"}));
}

TEST(Discovery, SameFolderNameUnderTwoRootsGivesTwoRecords) {
    FixtureHome home;
    std::string first = home.addBackup(BackupRoot::Primary, "same", "Phone");
    std::string second = home.addBackup(BackupRoot::Alternate, "same", "Phone");
    EXPECT_EQ(directoriesOf(getDevices()), (std::vector<std::string>{first, second}));
}

TEST(Discovery, StrayFileInARootGivesNoRecord) {
    FixtureHome home;
    std::string folder = home.addBackup(BackupRoot::Primary, "backup", "Phone");
    test::writeFile(home.rootPath(BackupRoot::Primary) + "/stray.txt", "x");
    EXPECT_EQ(directoriesOf(getDevices()), std::vector<std::string>{folder});
}

TEST(Discovery, InfoPlistDecidesTheNameOnly) {
    FixtureHome home;
    home.addBackup(BackupRoot::Primary, "1-xml", "Xml Phone", PlistFormat::Xml);
    home.addBackup(BackupRoot::Primary, "2-binary", "Binary Phone", PlistFormat::Binary);
    home.addBackup(BackupRoot::Primary, "3-empty-folder", std::nullopt);
    std::string garbage = home.addBackup(BackupRoot::Primary, "4-garbage", std::nullopt);
    test::writeFile(garbage + "/Info.plist", "\x01\x02 not a property list");
    std::string wrongKind = home.addBackup(BackupRoot::Primary, "5-wrong-kind", std::nullopt);
    PlistValue::dictionary({{"Device Name", PlistValue::integer(7)}})
        .write(wrongKind + "/Info.plist", PlistFormat::Xml);
    home.addBackup(BackupRoot::Primary, "6-empty-name", "");
    std::string emptyFile = home.addBackup(BackupRoot::Primary, "7-empty-file", std::nullopt);
    test::writeFile(emptyFile + "/Info.plist", "");

    DeviceList devices = getDevices();
    ASSERT_EQ(devices.size(), 7u);
    EXPECT_EQ(devices[0]->name, "Xml Phone");
    EXPECT_EQ(devices[1]->name, "Binary Phone");
    EXPECT_EQ(devices[2]->name, std::nullopt);
    EXPECT_EQ(devices[3]->name, std::nullopt);
    EXPECT_EQ(devices[4]->name, std::nullopt);
    EXPECT_EQ(devices[5]->name, "");
    EXPECT_EQ(devices[6]->name, std::nullopt);
    for (const auto& device : devices) {
        EXPECT_TRUE(device->date.has_value());
        EXPECT_FALSE(device->applications);
    }
}

TEST(Discovery, DateIsTheFolderOwnModificationTime) {
    FixtureHome home;
    struct Case {
        int hour, minute;
        const char* text;
    };
    for (Case c : {Case{14, 7, "03/05/10 02:07PM"}, Case{0, 30, "03/05/10 12:30AM"},
                   Case{12, 0, "03/05/10 12:00PM"}}) {
        std::string folder = home.addBackup(BackupRoot::Primary, "backup", "Phone");
        test::setModificationTime(folder + "/Info.plist", 2001, 1, 1, 9, 9);
        test::setModificationTime(folder, 2010, 3, 5, c.hour, c.minute);
        DeviceList devices = getDevices();
        ASSERT_EQ(devices.size(), 1u);
        EXPECT_EQ(devices[0]->date, c.text);
    }
}

TEST(Discovery, UnreadableRootIsSkippedAndTheOthersStillScanned) {
    FixtureHome home;
    test::writeFile(home.rootPath(BackupRoot::Primary), "a file where a root should be");
    std::string folder = home.addBackup(BackupRoot::Alternate, "a", "Phone");
    EXPECT_FALSE(backupFolders());
    EXPECT_EQ(directoriesOf(getDevices()), std::vector<std::string>{folder});
}

TEST(Discovery, ExtractBackupAppendsAtMostOneRecord) {
    FixtureHome home;
    std::string root = home.rootPath(BackupRoot::Primary);
    home.addBackup(BackupRoot::Primary, "backup", "Phone");
    DeviceList devices;
    extractBackup("missing", devices, root);
    EXPECT_TRUE(devices.empty());
    extractBackup("backup", devices, root);
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0]->directory, root + "/backup");
}

}  // namespace
}  // namespace salvora
