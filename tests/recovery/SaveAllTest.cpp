#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/FolderSnapshot.h"
#include "support/StoredFiles.h"

namespace salvora {
namespace {
using test::copiedRecord;
using test::readText;
using test::writeFile;
using test::writeMdbackup;
using test::writtenRecord;

class SaveAllTest : public ::testing::Test {
  protected:
    std::vector<FileOutcome> save(const std::vector<FileRecord>& files) {
        return saveAll(backup.path(), files, destination);
    }

    test::TemporaryFolder backup;
    test::TemporaryFolder chosen;
    std::string destination = chosen / "F";
    LogCapture log;
};

const std::vector<std::string> twoNullLines = {"(null)", "(null)"};

TEST_F(SaveAllTest, NoFilesCreatesWritesAndLogsNothing) {
    EXPECT_TRUE(save({}).empty());
    EXPECT_FALSE(fileExists(destination));
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SaveAllTest, FilesLandAtTheirRelativePathsWithFoldersMadeOnTheWay) {
    writeFile(backup / "0123abcd", "plain a");
    writeMdbackup(backup / "b.mdbackup", "Library/Preferences/b.plist", "plist b");
    writeFile(backup / "c.mddata", "domain c");
    auto outcomes =
        save({copiedRecord("0123abcd", "Documents/a.txt"),
              writtenRecord("b.mdbackup", "Library/Preferences/b.plist"),
              test::pairRecord("c.mddata", "AppDomain-com.example.app/Documents/c.txt")});

    EXPECT_EQ(readText(destination + "/Documents/a.txt"), "plain a");
    EXPECT_EQ(readText(destination + "/Library/Preferences/b.plist"), "plist b");
    EXPECT_EQ(readText(destination + "/AppDomain-com.example.app/Documents/c.txt"), "domain c");
    EXPECT_EQ(log.lines(), std::vector<std::string>(6, "(null)"));
    ASSERT_EQ(outcomes.size(), 3u);
    EXPECT_EQ(outcomes[1].target, destination + "/Library/Preferences/b.plist");
    for (const auto& outcome : outcomes) EXPECT_FALSE(outcome.error) << outcome.target;
}

TEST_F(SaveAllTest, PathWithoutFolderLandsDirectlyInTheChosenFolderItselfMadeIfMissing) {
    writeFile(backup / "stored", "top");
    auto outcomes = save({copiedRecord("stored", "top.txt")});
    EXPECT_EQ(readText(destination + "/top.txt"), "top");
    EXPECT_EQ(*directoryContents(destination), std::vector<std::string>{"top.txt"});
    EXPECT_EQ(log.lines(), twoNullLines);
    EXPECT_FALSE(outcomes[0].error);
}

TEST_F(SaveAllTest, SavingTwiceKeepsCopiesAndReplacesWrittenFiles) {
    writeFile(backup / "stored", "copied");
    writeMdbackup(backup / "w.mdbackup", "Documents/w.txt", "written");
    const std::vector<FileRecord> files = {copiedRecord("stored", "Documents/c.txt"),
                                           writtenRecord("w.mdbackup", "Documents/w.txt")};
    save(files);
    writeFile(destination + "/Documents/c.txt", "edited copy");
    writeFile(destination + "/Documents/w.txt", "edited write");

    auto outcomes = save(files);
    EXPECT_EQ(readText(destination + "/Documents/c.txt"), "edited copy");
    EXPECT_EQ(readText(destination + "/Documents/w.txt"), "written");
    const std::string exists =
        "Could not copy to \"" + destination + "/Documents/c.txt\": File exists";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"(null)", "(null)", "(null)", "(null)",
                                                     "(null)", exists, "(null)", "(null)"}));
    ASSERT_TRUE(outcomes[0].error);
    EXPECT_EQ(outcomes[0].error->description(), exists);
    EXPECT_FALSE(outcomes[1].error);
}

TEST_F(SaveAllTest, DuplicateRelativePathsKeepTheFirstCopyAndTheLastWrite) {
    writeFile(backup / "first", "first copy");
    writeFile(backup / "second", "second copy");
    writeMdbackup(backup / "1.mdbackup", "same/w", "first write");
    writeMdbackup(backup / "2.mdbackup", "same/w", "second write", test::PlistFormat::Xml);
    auto outcomes =
        save({copiedRecord("first", "same/c"), copiedRecord("second", "same/c"),
              writtenRecord("1.mdbackup", "same/w"), writtenRecord("2.mdbackup", "same/w")});
    EXPECT_EQ(readText(destination + "/same/c"), "first copy");
    EXPECT_EQ(readText(destination + "/same/w"), "second write");
    EXPECT_FALSE(outcomes[0].error);
    EXPECT_TRUE(outcomes[1].error);
    EXPECT_FALSE(outcomes[2].error);
    EXPECT_FALSE(outcomes[3].error);
    EXPECT_EQ(*directoryContents(destination + "/same"), (std::vector<std::string>{"c", "w"}));
}

TEST_F(SaveAllTest, MissingStoredFileIsLoggedAndTheNextFilesAreStillSaved) {
    writeFile(backup / "after", "after");
    std::vector<std::string> progress;
    auto outcomes =
        saveAll(backup.path(),
                {copiedRecord("missing", "a/missing.txt"), copiedRecord("after", "a/after.txt")},
                destination, [&](const SaveStatus& status) {
                    progress.push_back(std::to_string(status.filesDone) + "/" +
                                       std::to_string(status.filesTotal) + " " +
                                       std::string(status.current));
                    return true;
                });
    EXPECT_EQ(readText(destination + "/a/after.txt"), "after");
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"(null)",
                                                     "Could not copy from \"" + backup / "missing" +
                                                         "\": No such file or directory",
                                                     "(null)", "(null)"}));
    EXPECT_TRUE(outcomes[0].error);
    EXPECT_FALSE(outcomes[1].error);
    EXPECT_EQ(progress, (std::vector<std::string>{"0/2 a/missing.txt", "1/2 a/after.txt", "2/2 "}));
}

TEST_F(SaveAllTest, StoppedByItsProgressItEndsAfterTheFileBeingSavedWithRecordedBytesCounted) {
    writeFile(backup / "first", "12345");
    writeFile(backup / "second", "678");
    const std::vector<FileRecord> files = {
        test::keptRecord(
            "first", "a/first", false,
            {.modificationTime = std::nullopt, .size = 5, .encryptionKey = std::nullopt}),
        test::keptRecord(
            "second", "a/second", false,
            {.modificationTime = std::nullopt, .size = 3, .encryptionKey = std::nullopt})};
    std::vector<std::uint64_t> bytesBeforeEach;
    auto outcomes = saveAll(backup.path(), files, destination, [&](const SaveStatus& status) {
        EXPECT_EQ(status.bytesTotal, 8u);
        bytesBeforeEach.push_back(status.bytesDone);
        return status.filesDone < 1;
    });
    EXPECT_EQ(bytesBeforeEach, (std::vector<std::uint64_t>{0, 5}));
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(readText(destination + "/a/first"), "12345");
    EXPECT_EQ(*directoryContents(destination + "/a"), std::vector<std::string>{"first"});
    EXPECT_EQ(log.lines(), twoNullLines);
}

TEST_F(SaveAllTest, FolderThatCannotBeMadeIsLoggedOnBothLinesAndNothingIsWritten) {
    writeFile(destination + "/blocked", "a file where a folder should be");
    writeFile(backup / "stored", "x");
    writeFile(backup / "next", "next");
    auto outcomes =
        save({copiedRecord("stored", "blocked/inner.txt"), copiedRecord("next", "free/next.txt")});
    const std::string error =
        "Could not open folder \"" + destination + "/blocked\": Not a directory";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{error, error, "(null)", "(null)"}));
    EXPECT_EQ(readText(destination + "/blocked"), "a file where a folder should be");
    EXPECT_EQ(readText(destination + "/free/next.txt"), "next");
    EXPECT_EQ(outcomes[0].target, destination + "/blocked/inner.txt");
}

TEST_F(SaveAllTest, TheBackupFolderIsLeftExactlyAsItWas) {
    writeFile(backup / "ab/abcdef", "modern");
    writeFile(backup / "plain", "plain");
    writeMdbackup(backup / "w.mdbackup", "Documents/w.txt", "written");
    writeFile(backup / "d.mddata", "pair");
    auto before = test::folderSnapshot(backup.path());
    const std::vector<FileRecord> files = {copiedRecord("ab/abcdef", "Library/m"),
                                           copiedRecord("plain", "p"),
                                           writtenRecord("w.mdbackup", "Documents/w.txt"),
                                           test::pairRecord("d.mddata", "D/d"),
                                           copiedRecord("missing", "x"),
                                           writtenRecord("plain", "not/a/plist")};
    save(files);
    save(files);
    EXPECT_EQ(test::folderSnapshot(backup.path()), before);
}

}  // namespace
}  // namespace salvora
