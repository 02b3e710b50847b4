// Names from a backup are saved exactly as they are and only below the chosen folder: a "\"
// or a control character is part of a name, every Unicode form is kept byte for byte, a name
// too long for the file system is an error for that file alone, and a link the user chose is
// followed where one planted in the way is not.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/Catalog.h"
#include "discovery/Discovery.h"
#include "foundation/FileQueries.h"
#include "foundation/FileReading.h"
#include "foundation/Log.h"
#include "foundation/OpenFolder.h"
#include "foundation/Path.h"
#include "recovery/Recovery.h"
#include "support/CatalogInspection.h"
#include "support/CliBackups.h"
#include "support/FixtureHome.h"
#include "support/FolderSnapshot.h"
#include "support/StoredFiles.h"

namespace salvora {
namespace {
namespace fs = std::filesystem;
using test::copiedRecord;
using test::Layout;
using test::readText;
using test::writeFile;
using test::writtenRecord;
using Names = std::vector<std::string>;

class PathSafetyTest : public testing::Test {
  protected:
    void SetUp() override {
        writeFile(backup / "stored", "stored bytes");
        test::writeMdbackup(backup / "w.mdbackup", "w", "written bytes");
    }

    // Saves each name both ways: a copy, and the "Data" of a property list written out.
    std::vector<FileOutcome> saveBothWays(const Names& names) {
        std::vector<FileRecord> files;
        for (const std::string& name : names) {
            files.push_back(copiedRecord("stored", "copied/" + name));
            files.push_back(writtenRecord("w.mdbackup", "written/" + name));
        }
        return saveAll(backup.path(), files, destination);
    }

    test::TemporaryFolder backup;
    test::TemporaryFolder parent;
    std::string destination = parent / "chosen";
    LogSilence quiet;
};

TEST_F(PathSafetyTest, BackslashesAndControlCharactersArePartOfOneName) {
    const Names names{"a\\b.txt", "..\\..\\escaped.txt", "\\",         "line\nbreak", "tab\tx",
                      "bell\x07", "escape\x1b[31mred",   "delete\x7f", "\x01\x02\x03"};
    for (const FileOutcome& outcome : saveBothWays(names)) EXPECT_FALSE(outcome.error);
    Names sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(*directoryContents(destination + "/copied"), sorted);
    EXPECT_EQ(*directoryContents(destination + "/written"), sorted);
    EXPECT_EQ(readText(destination + "/copied/..\\..\\escaped.txt"), "stored bytes");
    EXPECT_EQ(readText(destination + "/written/line\nbreak"), "written bytes");
    EXPECT_EQ(*directoryContents(parent.path()), Names{"chosen"});
}

TEST_F(PathSafetyTest, ANameAsLongAsTheFileSystemAllowsIsSavedBothWays) {
    // The temporary file beside the target has a short name of its own.
    const std::string longest(255, 'n');
    for (const FileOutcome& outcome : saveBothWays({longest})) EXPECT_FALSE(outcome.error);
    EXPECT_EQ(readText(destination + "/copied/" + longest), "stored bytes");
    EXPECT_EQ(readText(destination + "/written/" + longest), "written bytes");
}

TEST_F(PathSafetyTest, ANameTooLongIsSavedShortenedToTheLimitAndSaysWhere) {
    const std::string copied(300, 'c'), written(300, 'w'), folder(300, 'f');
    auto outcomes =
        saveAll(backup.path(),
                {copiedRecord("stored", copied + ".txt"), writtenRecord("w.mdbackup", written),
                 copiedRecord("stored", folder + "/inner.txt"), copiedRecord("stored", "next.txt")},
                destination);
    for (const FileOutcome& outcome : outcomes) EXPECT_FALSE(outcome.error) << outcome.target;
    EXPECT_EQ(*directoryContents(destination),
              (Names{copied.substr(0, 251) + ".txt", folder.substr(0, 255), "next.txt",
                     written.substr(0, 255)}));
    EXPECT_EQ(outcomes[2].savedAs, destination + "/" + folder.substr(0, 255) + "/inner.txt");
    EXPECT_FALSE(outcomes[3].savedAs);
    EXPECT_EQ(readText(destination + "/" + written.substr(0, 255)), "written bytes");
    auto one = saveFile(backup.path(), copiedRecord("stored", "x"), destination + "/" + copied);
    EXPECT_EQ(one.savedAs, destination + "/" + copied.substr(0, 255));
}

TEST_F(PathSafetyTest, APathLongerThanThePathLimitIsSavedFolderByFolder) {
    // Twenty levels of 249 bytes: 5000 bytes, beyond what one path may hold.
    std::string path;
    for (int level = 0; level < 20; ++level) path += std::string(249, 'a' + level) + "/";
    path += "file.txt";
    ASSERT_GT(path.size(), 5000u);
    auto outcomes = saveAll(backup.path(), {copiedRecord("stored", path)}, destination);
    EXPECT_FALSE(outcomes[0].error);

    auto folder = openFolder(destination);
    const auto levels = pathComponents(path);
    for (std::size_t level = 0; folder && level + 1 < levels.size(); ++level)
        folder = openFolderIn(*folder, levels[level], CreateMissing::No);
    ASSERT_TRUE(folder);
    auto saved = readFile(*folder, "file.txt");
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->size(), std::string("stored bytes").size());

    // One file saved to such a path is named whole, which the system refuses.
    auto one = saveFile(backup.path(), copiedRecord("stored", "x"), destination + "/" + path);
    EXPECT_EQ(one.error->reason, "File name too long");
}

TEST_F(PathSafetyTest, AStoredNameTooLongIsAnErrorNamingIt) {
    const std::string stored = "ab/ab" + std::string(298, '0');
    fs::create_directory(backup / "ab");
    auto outcomes = saveAll(backup.path(), {copiedRecord(stored, "a.txt")}, destination);
    EXPECT_EQ(outcomes[0].error->description(),
              "Could not copy from \"" + backup / stored + "\": File name too long");
}

TEST_F(PathSafetyTest, LinksTheUserChoseAreFollowed) {
    // A backup folder and a destination reached through links, as moved folders often are.
    test::TemporaryFolder elsewhere;
    fs::create_symlink(backup.path(), parent / "linked backup");
    fs::create_directory(elsewhere / "real destination");
    fs::create_symlink(elsewhere / "real destination", destination);
    auto outcomes = saveAll(parent / "linked backup",
                            {copiedRecord("stored", "a.txt"), writtenRecord("w.mdbackup", "b.txt")},
                            destination);
    EXPECT_FALSE(outcomes[0].error);
    EXPECT_FALSE(outcomes[1].error);
    EXPECT_EQ(readText(elsewhere / "real destination/a.txt"), "stored bytes");
    EXPECT_EQ(readText(elsewhere / "real destination/b.txt"), "written bytes");
}

// --- Unicode through every layout

const std::string composed = "Caf\xC3\xA9";     // "é" as one code point
const std::string decomposed = "Cafe\xCC\x81";  // "e" and a combining acute accent

// One file of the application in the layout's own way; returns the path the catalogue gives it.
std::string addFile(test::BackupWriter& backup, Layout layout, const std::string& application,
                    const std::string& path, const std::string& contents) {
    const std::string domain = "AppDomain-" + application;
    const std::string number = std::to_string(contents.size());
    switch (layout) {
        case Layout::ManifestDatabase:
            backup.addManifestDatabaseFile(domain, path, contents);
            return path;
        case Layout::UnindexedDatabase:
            backup.addUnindexedDatabaseFile(domain, path, contents);
            return path;
        case Layout::Mdbackup:
            backup.addMdbackupFile(number + ".mdbackup", application + "/" + path, contents,
                                   test::PlistFormat::Binary);
            return application + "/" + path;
        case Layout::Mdinfo:
            backup.addMdinfoFile(number + ".mdinfo", test::mdinfo(domain, path), contents);
            return domain + "/" + path;
        case Layout::ManifestDb:
            backup.addManifestDbFile(domain, path, contents);
            return path;
    }
    return {};
}

class UnicodeNames : public testing::TestWithParam<Layout> {};

TEST_P(UnicodeNames, KeepEveryFormByteForByteFromBackupToSavedFile) {
    test::FixtureHome home;
    const std::string folder =
        home.addBackup(test::BackupRoot::Primary, "iPh\xC3\xB6ne " + decomposed, decomposed,
                       test::PlistFormat::Binary);
    test::BackupWriter backup(folder);
    const std::string composedPath =
        addFile(backup, GetParam(), composed, "Documents/" + composed + ".txt", "composed");
    const std::string decomposedPath =
        addFile(backup, GetParam(), decomposed, "Documents/" + decomposed + ".txt", "two forms");

    DeviceList devices = scanBackupRoots();
    ASSERT_EQ(devices.size(), 1u);
    EXPECT_EQ(devices[0]->name, decomposed);
    Catalog catalog;
    catalog.buildCatalogForDevice(*devices[0]);
    const ApplicationMap& applications = *devices[0]->applications;
    ASSERT_EQ(test::applicationNames(applications), (Names{decomposed, composed}));

    LogSilence quiet;
    const std::string destination = home / ("Gerettet " + decomposed);
    for (const std::string& name : {composed, decomposed}) {
        for (const FileOutcome& outcome :
             saveAll(folder, test::applicationIn(applications, name).files, destination))
            EXPECT_FALSE(outcome.error) << outcome.error->description();
    }
    // Neither form is turned into the other: each name reads its own bytes.
    EXPECT_EQ(readText(destination + "/" + composedPath), "composed");
    EXPECT_EQ(readText(destination + "/" + decomposedPath), "two forms");
}

INSTANTIATE_TEST_SUITE_P(Reliability, UnicodeNames,
                         testing::Values(Layout::ManifestDatabase, Layout::UnindexedDatabase,
                                         Layout::Mdbackup, Layout::Mdinfo, Layout::ManifestDb),
                         [](const auto& info) { return layoutName(info.param); });

}  // namespace
}  // namespace salvora
