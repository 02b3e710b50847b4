#include "catalog/Catalog.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/BackupWriter.h"
#include "support/CatalogInspection.h"
#include "support/FolderSnapshot.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::applicationIn;
using test::BackupWriter;
using test::MdinfoDescription;
namespace fs = std::filesystem;

using Names = std::vector<std::string>;

DeviceRecord deviceAt(const std::string& directory) {
    DeviceRecord device;
    device.directory = directory;
    return device;
}

Names namesOf(const ApplicationList& applications) {
    Names names;
    for (const auto& application : applications) names.push_back(application->name);
    return names;
}

MdinfoDescription mdinfo(std::string domain, std::string path) {
    MdinfoDescription description;
    description.domain = std::move(domain);
    description.path = std::move(path);
    return description;
}

TEST(PathsMatchingExtensions, GroupsByExtensionExactlyAsWritten) {
    Names listing{"a.mdbackup", "b.txt", "c.mdinfo", "D.MDINFO", "e.mdinfo", "mdinfo", ".mdinfo"};
    EXPECT_EQ(pathsMatchingExtensions(listing, {"mdinfo", "mdbackup"}),
              (Names{"c.mdinfo", "e.mdinfo", ".mdinfo", "a.mdbackup"}));
    EXPECT_TRUE(pathsMatchingExtensions(listing, {}).empty());
    EXPECT_TRUE(pathsMatchingExtensions({}, {"mdinfo"}).empty());
    EXPECT_TRUE(pathsMatchingExtensions(listing, {"MDBACKUP"}).empty());
    EXPECT_EQ(pathsMatchingExtensions({"x.a.b", "y.b"}, {"a.b", "b"}),
              (Names{"x.a.b", "x.a.b", "y.b"}));
    EXPECT_TRUE(pathsMatchingExtensions({"a.mdinfo ", "a.mdinfo/"}, {"mdinfo"}).empty());
}

TEST(Catalog, EveryLayoutOfAFolderAddsToOneMapInTheFixedOrder) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDbFile("Library", "from Manifest.db", "4");
    backup.addMdinfoFile("b.mdinfo", mdinfo("AppDomain-Library", "from mdinfo"), "3");
    backup.addMdbackupFile("c.mdbackup", "Library/from mdbackup", "2");
    backup.addManifestDatabaseFile("AppDomain-com.example.Library", "from mbdb", "1");
    backup.addManifestDatabaseFile("HomeDomain", "other", "1");

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    ApplicationList applications = catalog.buildCatalogForDevice(device);
    EXPECT_EQ(namesOf(applications), (Names{"HomeDomain", "Library"}));
    EXPECT_EQ(test::fullpaths(applicationIn(*device.applications, "Library")),
              (std::vector<std::optional<std::string>>{"from mbdb", "Library/from mdbackup",
                                                       "AppDomain-Library/from mdinfo",
                                                       "from Manifest.db"}));
    EXPECT_EQ(applications[1].get(), device.applications->at("Library").get());
}

TEST(Catalog, DatabaseWithoutIndexRunsAfterMdinfoAndBeforeManifestDb) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDbFile("AppDomain-x.App", "from Manifest.db", "3");
    backup.addUnindexedDatabaseFile("AppDomain-x.App", "from mbdb", "2");
    backup.addMdinfoFile("a.mdinfo", mdinfo("AppDomain-x.App", "from mdinfo"), "1");

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    catalog.buildCatalogForDevice(device);
    EXPECT_EQ(test::fullpaths(applicationIn(*device.applications, "x.App")),
              (std::vector<std::optional<std::string>>{"AppDomain-x.App/from mdinfo", "from mbdb",
                                                       "from Manifest.db"}));
}

TEST(Catalog, EmptyMissingOrUnrecognisedFoldersGiveAnEmptyMap) {
    test::TemporaryFolder empty;
    test::TemporaryFolder unrecognised;
    test::writeFile(unrecognised / "Manifest.mbdx", "mbdx\x03");
    test::writeFile(unrecognised / "Manifest.mbdb", "junk");
    test::writeFile(unrecognised / "Manifest.db", "encrypted bytes, say");
    test::writeFile(unrecognised / "Manifest.plist", "<plist>");
    test::writeFile(unrecognised / "notes.txt", "hello");
    test::writeFile(unrecognised / "x.MDBACKUP", "hello");

    for (const std::string& directory : {empty.path(), unrecognised.path(), empty / "missing"}) {
        Catalog catalog;
        DeviceRecord device = deviceAt(directory);
        EXPECT_TRUE(catalog.buildCatalogForDevice(device).empty());
        ASSERT_TRUE(device.applications);
        EXPECT_TRUE(device.applications->empty());
        EXPECT_FALSE(catalog.translationNames());
    }
}

TEST(Catalog, DeviceWithoutAFolderReadsNothingFromTheWorkingDirectory) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDatabaseFile("HomeDomain", "a", "1");
    backup.addManifestDbFile("HomeDomain", "b", "2");
    std::filesystem::path previous = fs::current_path();
    fs::current_path(folder.path());

    Catalog catalog;
    DeviceRecord device = deviceAt("");
    EXPECT_TRUE(catalog.buildCatalogForDevice(device).empty());
    fs::current_path(previous);
    ASSERT_TRUE(device.applications);
    EXPECT_TRUE(device.applications->empty());
}

TEST(Catalog, AnEmptyIndexStillLetsTheOtherLayoutsCount) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.writeManifestDatabase(test::manifestDatabaseBytes({}));
    backup.addMdbackupFile("a.mdbackup", "Library/a", "1");

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    EXPECT_EQ(namesOf(catalog.buildCatalogForDevice(device)), Names{"Library"});
}

TEST(Catalog, TranslationNamesLiveFromOneMdinfoBackupToTheNext) {
    test::TemporaryFolder root;
    BackupWriter plain(root / "plain");
    plain.addManifestDatabaseFile("HomeDomain", "a", "1");
    BackupWriter mdinfoWithoutNames(root / "without");
    mdinfoWithoutNames.addMdinfoFile("a.mdinfo", mdinfo("AppDomain-X", "a"));
    BackupWriter mdinfoWithNames(root / "with");
    mdinfoWithNames.addMdinfoFile("a.mdinfo", mdinfo("AppDomain-X", "a"));
    mdinfoWithNames.addDisplayName("X", "Notes");
    BackupWriter namesButNoMdinfo(root / "namesonly");
    namesButNoMdinfo.addDisplayName("Y", "Ignored");

    Catalog catalog;
    auto build = [&catalog](const BackupWriter& backup) {
        DeviceRecord device = deviceAt(backup.folder());
        catalog.buildCatalogForDevice(device);
    };
    build(plain);
    EXPECT_FALSE(catalog.translationNames());
    build(namesButNoMdinfo);
    EXPECT_FALSE(catalog.translationNames());
    build(mdinfoWithoutNames);
    EXPECT_EQ(catalog.translationNames(), TranslationNames{});
    build(plain);
    EXPECT_EQ(catalog.translationNames(), TranslationNames{});
    build(mdinfoWithNames);
    EXPECT_EQ(catalog.translationNames(), (TranslationNames{{"X", "Notes"}}));
    build(plain);
    build(namesButNoMdinfo);
    EXPECT_EQ(catalog.translationNames(), (TranslationNames{{"X", "Notes"}}));
    build(mdinfoWithoutNames);
    EXPECT_EQ(catalog.translationNames(), TranslationNames{});
}

TEST(Catalog, ApplicationsSortByNameIgnoringCaseEmptyNameFirst) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    for (const char* domain : {"AppDomain-x.gamma", "AppDomain-x.beta", "AppDomain-",
                               "AppDomain-x.Alpha", "AppDomain-x.Zed", "AppDomain-x.\xC3\x89mile",
                               "AppDomain-x.Eagle", "AppDomain-x._under", "AppDomain-x.10"}) {
        backup.addManifestDatabaseFile(domain, "f", "1");
    }
    backup.addMdinfoFile("a.mdinfo", mdinfo("AppDomain-com.example.zeta", "f"));
    backup.addDisplayName("com.example.zeta", "Aardvark");

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    Names sorted = namesOf(catalog.buildCatalogForDevice(device));
    EXPECT_EQ(sorted, (Names{"", "_under", "10", "Alpha", "beta", "com.example.zeta", "Eagle",
                             "\xC3\x89mile", "gamma", "Zed"}));
}

TEST(Catalog, NamesThatDifferOnlyInCaseAreTwoApplicationsInAFixedOrder) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDatabaseFile("AppDomain-x.notes", "a", "1");
    backup.addManifestDatabaseFile("AppDomain-x.Notes", "b", "1");
    backup.addManifestDatabaseFile("AppDomain-x.NOTES", "c", "1");

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    EXPECT_EQ(namesOf(catalog.buildCatalogForDevice(device)), (Names{"NOTES", "Notes", "notes"}));
}

TEST(Catalog, SelectingADeviceAgainBuildsNewRecordsWithTheSameContent) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDatabaseFile("AppDomain-x.notes", "a", "1");
    backup.addMdbackupFile("b.mdbackup", "Library/b", "2");

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    ApplicationList first = catalog.buildCatalogForDevice(device);
    std::shared_ptr<ApplicationMap> firstMap = device.applications;
    ApplicationList second = catalog.buildCatalogForDevice(device);

    EXPECT_NE(device.applications, firstMap);
    ASSERT_EQ(namesOf(first), namesOf(second));
    for (std::size_t i = 0; i < first.size(); ++i) {
        EXPECT_NE(first[i], second[i]);
        EXPECT_EQ(test::storedNames(*first[i]), test::storedNames(*second[i]));
        EXPECT_EQ(second[i], device.applications->at(second[i]->name));
    }

    backup.addMdbackupFile("c.mdbackup", "Media/c", "3");
    EXPECT_EQ(namesOf(catalog.buildCatalogForDevice(device)), (Names{"Library", "Media", "notes"}));
}

TEST(Catalog, BuildingChangesNothingInTheBackup) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder / "backup");
    backup.addManifestDatabaseFile("HomeDomain", "a", "1");
    backup.addMdbackupFile("b.mdbackup", "Library/b", "2");
    backup.addMdinfoFile("c.mdinfo", mdinfo("AppDomain-X", "c"), "3");
    backup.addDisplayName("X", "Ex");
    backup.addManifestDbFile("HomeDomain", "d", "4");
    Names before = test::folderSnapshot(folder.path());

    Catalog catalog;
    DeviceRecord device = deviceAt(backup.folder());
    catalog.buildCatalogForDevice(device);
    EXPECT_EQ(test::fileCount(*device.applications), 4u);
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

TEST(ApplicationDisplayText, DisplayNameThenNameThenUnknown) {
    ApplicationRecord named{"com.example.x", {}, {}, {}};
    ApplicationRecord unnamed{"", {}, {}, {}};
    TranslationNames names{{"com.example.x", "Example"}, {"", ""}};

    EXPECT_EQ(applicationDisplayText(named, names), "Example");
    EXPECT_EQ(applicationDisplayText(named, std::nullopt), "com.example.x");
    EXPECT_EQ(applicationDisplayText(named, TranslationNames{{"com.example.x", ""}}),
              "com.example.x");
    EXPECT_EQ(applicationDisplayText(unnamed, names), "(Unknown Application Name)");
    EXPECT_EQ(applicationDisplayText(unnamed, TranslationNames{{"", "Shown"}}), "Shown");
    EXPECT_EQ(applicationDisplayText(unnamed, std::nullopt), "(Unknown Application Name)");
}

}  // namespace
}  // namespace salvora
