// The real salvora-cli exporting a camera roll: the exact tree it makes, with names, dates,
// edits, Live Photos, albums and what the library leaves out, from either generation of the
// library, without one, and from an encrypted backup.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <map>

#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ProcessRun.h"

namespace salvora {
namespace {
using test::LibraryFile;
using test::PhotoSchema;
using Tree = std::vector<std::string>;

// In Europe/Berlin, whatever zone the test runs in: the dated folders are local.
test::ProcessResult salvoraCli(const std::vector<std::string>& args) {
    ::setenv("TZ", "Europe/Berlin", 1);
    return test::runProcess(SALVORA_CLI_PATH, args);
}

// Every file below the folder: its path, contents and modification time.
Tree treeOf(const std::string& folder) {
    Tree tree;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            tree.push_back(std::filesystem::relative(entry.path(), folder).string() + " | " +
                           test::readText(entry.path()) + " | " +
                           std::to_string(test::modificationSeconds(entry.path())));
    std::sort(tree.begin(), tree.end());
    return tree;
}

const Tree defaultTree = {
    "2023/01/IMG_5000.HEIC | 8F1C2D3E.HEIC | 1672529400",
    "2023/05/IMG_0100.PNG | screenshot | 1682928000",
    "2023/07/Beach (2).HEIC | IMG_0007.HEIC | 1688292000",
    "2023/07/Beach (edited).jpg | edited | 1688167800",
    "2023/07/Beach.HEIC | IMG_0001.HEIC | 1688167800",
    "2023/07/Beach.MOV | live video | 1688167800",
    "2023/07/IMG_0002.MOV | IMG_0002.MOV | 1688292000",
};
const std::string defaultSummary =
    "Not in this backup (kept only in iCloud): IMG_5001.JPG\n"
    "Exported 4 photos, 2 videos, 1 edited version, 1 not in this backup, 0 failed\n";

class PhotosExport : public ::testing::Test {
  protected:
    void writeBackup(PhotoSchema schema, LibraryFile library) {
        test::writeCameraRoll(
            test::exampleCameraRoll(schema, library),
            [&](const std::string& path, const std::string& contents, std::uint32_t lastModified) {
                stored[path] =
                    backup.addManifestDbFile("CameraRollDomain", path, contents, lastModified);
            });
    }
    test::ProcessResult exportPhotos(std::vector<std::string> options = {}) {
        options.insert(options.begin(), {"photos", backup.folder(), destination.path()});
        return salvoraCli(options);
    }

    test::TemporaryFolder folder;
    test::BackupWriter backup{folder / "backup"};
    std::map<std::string, std::string> stored;  // stored names by path
    test::TemporaryFolder destination;
};

class LibraryGenerations : public PhotosExport,
                           public ::testing::WithParamInterface<PhotoSchema> {};

TEST_P(LibraryGenerations, ExportsByCaptureDateAndExportingAgainAddsNothing) {
    writeBackup(GetParam(), LibraryFile::Database);
    const auto before = test::folderSnapshot(backup.folder());
    for (int run = 0; run < 2; ++run) {
        auto exported = exportPhotos();
        EXPECT_EQ(exported.status, 0);
        EXPECT_EQ(exported.err, "");
        EXPECT_EQ(exported.out, defaultSummary);
        EXPECT_EQ(treeOf(destination.path()), defaultTree);
    }
    EXPECT_EQ(test::folderSnapshot(backup.folder()), before);
}

INSTANTIATE_TEST_SUITE_P(Photos, LibraryGenerations,
                         ::testing::Values(PhotoSchema::Asset, PhotoSchema::GenericAsset),
                         [](const auto& info) {
                             return info.param == PhotoSchema::Asset ? "ZASSET" : "ZGENERICASSET";
                         });

TEST_F(PhotosExport, AlbumsLinkTheDatedFilesAndHiddenAndDeletedComeWhenAsked) {
    writeBackup(PhotoSchema::Asset, LibraryFile::Database);
    auto exported = exportPhotos({"--albums", "--include-hidden", "--include-deleted"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out,
              "Not in this backup (kept only in iCloud): IMG_5001.JPG\n"
              "Exported 6 photos, 2 videos, 1 edited version, 1 not in this backup, 0 failed\n");
    Tree expected = defaultTree;
    expected.insert(expected.end(), {
                                        "2023/08/IMG_0003.JPG | IMG_0003.JPG | 1692100800",
                                        "2023/08/IMG_0004.JPG | IMG_0004.JPG | 1692100800",
                                        "Albums/Holiday/Beach (edited).jpg | edited | 1688167800",
                                        "Albums/Holiday/Beach.HEIC | IMG_0001.HEIC | 1688167800",
                                        "Albums/Holiday/Beach.MOV | live video | 1688167800",
                                        "Albums/Holiday/IMG_0002.MOV | IMG_0002.MOV | 1688292000",
                                        "Albums/Secret/IMG_0003.JPG | IMG_0003.JPG | 1692100800",
                                    });
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(treeOf(destination.path()), expected);
    struct stat dated {};
    struct stat linked {};
    ::stat((destination / "2023/07/Beach.HEIC").c_str(), &dated);
    ::stat((destination / "Albums/Holiday/Beach.HEIC").c_str(), &linked);
    EXPECT_EQ(dated.st_ino, linked.st_ino);

    auto again = exportPhotos({"--albums", "--include-hidden", "--include-deleted"});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(treeOf(destination.path()), expected);
}

TEST_F(PhotosExport, ABackupWithoutCameraRollIsAUsageError) {
    backup.addManifestDbFile("HomeDomain", "Library/a.plist", "a");
    auto exported = exportPhotos();
    EXPECT_EQ(exported.status, 2);
    EXPECT_EQ(exported.err, "salvora-cli: no camera roll (CameraRollDomain) in this backup\n");
    EXPECT_FALSE(std::filesystem::exists(destination / "Undated"));
}

TEST_F(PhotosExport, NeverOverwritesAndCountsAMissingStoredFileAsFailed) {
    writeBackup(PhotoSchema::Asset, LibraryFile::Database);
    test::writeFile(destination / "2023/07/Beach.HEIC", "someone else's");
    const std::string screenshot = backup / stored["Media/DCIM/101APPLE/IMG_0100.PNG"];
    std::filesystem::remove(screenshot);
    auto exported = exportPhotos();
    EXPECT_EQ(exported.status, 1);
    EXPECT_EQ(exported.err, "salvora-cli: " + destination / "2023/05/IMG_0100.PNG" +
                                ": Could not copy from \"" + screenshot +
                                "\": No such file or directory\n");
    EXPECT_TRUE(
        exported.out.ends_with("Exported 3 photos, 2 videos, 1 edited version, "
                               "1 not in this backup, 1 failed\n"))
        << exported.out;
    EXPECT_EQ(test::readText(destination / "2023/07/Beach.HEIC"), "someone else's");
    for (const char* name :
         {"Beach (2).HEIC", "Beach (2).MOV", "Beach (2) (edited).jpg", "Beach (3).HEIC"})
        EXPECT_TRUE(std::filesystem::exists(destination / "2023/07/" + name)) << name;
}

class WithoutUsableLibrary : public PhotosExport,
                             public ::testing::WithParamInterface<LibraryFile> {};

TEST_P(WithoutUsableLibrary, TakesTheFilesAndTheirRecordedDatesAndSaysSoOnce) {
    writeBackup(PhotoSchema::Asset, GetParam());
    auto exported = exportPhotos({"--albums"});
    EXPECT_EQ(exported.status, 0);
    EXPECT_EQ(exported.out,
              "Exported 6 photos, 2 videos, 1 edited version, 0 not in this backup, 0 failed\n");
    EXPECT_TRUE(exported.err.starts_with("salvora-cli: Photos.sqlite ")) << exported.err;
    EXPECT_TRUE(exported.err.ends_with(
        ": photos and videos were taken from its files and the dates it recorded\n"))
        << exported.err;
    EXPECT_EQ(std::count(exported.err.begin(), exported.err.end(), '\n'), 1);
    const Tree expected = {
        "2023/01/8F1C2D3E.HEIC | 8F1C2D3E.HEIC | 1672615800",
        "2023/05/IMG_0100.PNG | screenshot | 1682928000",
        "2023/07/IMG_0001 (edited).jpg | edited | 1688254200",
        "2023/07/IMG_0001.HEIC | IMG_0001.HEIC | 1688254200",
        "2023/07/IMG_0001.MOV | live video | 1688254200",
        "2023/07/IMG_0002.MOV | IMG_0002.MOV | 1688378400",
        "2023/07/IMG_0007.HEIC | IMG_0007.HEIC | 1688378400",
        "2023/08/IMG_0003.JPG | IMG_0003.JPG | 1692187200",
        "2023/08/IMG_0004.JPG | IMG_0004.JPG | 1692187200",
    };
    EXPECT_EQ(treeOf(destination.path()), expected);
}

// In the order of LibraryFile.
constexpr const char* libraryFileNames[] = {"Database", "Missing", "Damaged", "UnknownSchema"};

INSTANTIATE_TEST_SUITE_P(Photos, WithoutUsableLibrary,
                         ::testing::Values(LibraryFile::Missing, LibraryFile::Damaged,
                                           LibraryFile::UnknownSchema),
                         [](const auto& info) {
                             return libraryFileNames[static_cast<int>(info.param)];
                         });

TEST(PhotosExportEncrypted, DecryptsTheLibraryAndTheFilesInMemoryAndOnTheWayOut) {
    test::TemporaryFolder folder;
    test::EncryptedBackup backup(folder / "backup");
    test::writeCameraRoll(
        test::exampleCameraRoll(PhotoSchema::Asset, LibraryFile::Database),
        [&](const std::string& path, const std::string& contents, std::uint32_t lastModified) {
            backup.addFile("CameraRollDomain", path, contents, lastModified);
        });
    test::writeFile(folder / "password", backup.keybag().password);
    const auto before = test::folderSnapshot(backup.folder());
    test::TemporaryFolder destination;
    auto exported = salvoraCli(
        {"photos", backup.folder(), destination.path(), "--password-file", folder / "password"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, defaultSummary);
    EXPECT_EQ(treeOf(destination.path()), defaultTree);
    EXPECT_EQ(test::folderSnapshot(backup.folder()), before);
}

// A library as phones leave it: WAL mode, its newest assets only in "Photos.sqlite-wal". The
// export reads them through the log, and nothing is written outside DEST: not in the backup,
// not in the temporary folder.
class WalLibrary : public ::testing::TestWithParam<bool> {};

TEST_P(WalLibrary, ExportsByTheLibraryWithItsLogAndWritesOnlyInDest) {
    const bool encrypted = GetParam();
    test::TemporaryFolder folder;
    test::BackupWriter plain(folder / "plain");
    test::EncryptedBackup protectedBackup(folder / "encrypted");
    auto roll = test::exampleCameraRoll(PhotoSchema::Asset, LibraryFile::Database);
    roll.journal = test::JournalMode::WalWithLog;
    test::writeCameraRoll(roll, [&](const std::string& path, const std::string& contents,
                                    std::uint32_t lastModified) {
        if (encrypted)
            protectedBackup.addFile("CameraRollDomain", path, contents, lastModified);
        else
            plain.addManifestDbFile("CameraRollDomain", path, contents, lastModified);
    });
    test::writeFile(folder / "password", protectedBackup.keybag().password);
    std::vector<std::string> args = {
        "photos", encrypted ? protectedBackup.folder() : plain.folder(), folder / "dest"};
    if (encrypted) args.insert(args.end(), {"--password-file", folder / "password"});
    const std::string temporary = folder / "tmp";
    std::filesystem::create_directory(temporary);
    ::setenv("TMPDIR", temporary.c_str(), 1);
    auto watched = [&] {
        return std::pair(test::folderSnapshot(args[1]), test::folderSnapshot(temporary));
    };
    const auto before = watched();

    auto exported = salvoraCli(args);
    ::unsetenv("TMPDIR");
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    EXPECT_EQ(exported.out, defaultSummary);
    EXPECT_EQ(treeOf(folder / "dest"), defaultTree);
    EXPECT_EQ(watched(), before);
}

INSTANTIATE_TEST_SUITE_P(Photos, WalLibrary, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encrypted" : "Plain"; });

}  // namespace
}  // namespace salvora
