// Saving when the system says no: a destination that can't be written, a disk that fills up,
// a stored file that can't be read. Each file gets its own clear error, no partial file is
// left, what was already there stays, and the next file is still attempted.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/ExpectInChild.h"
#include "support/FileSizeLimit.h"
#include "support/FolderSnapshot.h"
#include "support/StoredFiles.h"

namespace salvora {
namespace {
using test::copiedRecord;
using test::readText;
using test::writeFile;
using test::writtenRecord;

class SaveFaultTest : public testing::Test {
  protected:
    void SetUp() override {
        writeFile(backup / "small", "small");
        test::writeMdbackup(backup / "w.mdbackup", "w", "written");
        std::filesystem::create_directory(destination);
    }

    // What an error says, with the backup and destination folders as the test names them.
    std::string inBackup(const std::string& name) const { return "\"" + backup / name + "\""; }
    std::string inDestination(const std::string& name) const {
        return "\"" + destination + "/" + name + "\"";
    }
    static std::vector<std::string> descriptions(const std::vector<FileOutcome>& outcomes) {
        std::vector<std::string> result;
        for (const auto& outcome : outcomes)
            result.push_back(outcome.error ? outcome.error->description() : "saved");
        return result;
    }

    test::TemporaryFolder backup;
    test::TemporaryFolder parent;
    std::string destination = parent / "chosen";
    LogCapture log;
};

TEST_F(SaveFaultTest, DestinationThatCannotBeWrittenFailsEachFileAndMakesNothing) {
    ::chmod(destination.c_str(), 0555);
    test::handOverToUnprivilegedUser(backup.path());
    test::handOverToUnprivilegedUser(parent.path());
    test::expectAsUnprivilegedUser([&] {
        auto outcomes =
            saveAll(backup.path(),
                    {copiedRecord("small", "a.txt"), writtenRecord("w.mdbackup", "w.txt"),
                     copiedRecord("small", "sub/b.txt")},
                    destination);
        EXPECT_EQ(descriptions(outcomes),
                  (std::vector<std::string>{
                      "Could not copy to " + inDestination("a.txt") + ": Permission denied",
                      "Could not write " + inDestination("w.txt") + ": Permission denied",
                      "Could not create folder " + inDestination("sub") + ": Permission denied"}));
        auto one = saveFile(backup.path(), copiedRecord("small", "a.txt"), destination + "/one");
        EXPECT_EQ(one.error->reason, "Permission denied");
        EXPECT_EQ(log.lines().size(), 7u);
        EXPECT_TRUE(directoryContents(destination)->empty());
    });
}

TEST_F(SaveFaultTest, ChosenFolderThatCannotBeMadeFailsEveryFileAlike) {
    std::filesystem::remove(destination);
    ::chmod(parent.path().c_str(), 0555);
    test::handOverToUnprivilegedUser(backup.path());
    test::handOverToUnprivilegedUser(parent.path());
    test::expectAsUnprivilegedUser([&] {
        auto outcomes = saveAll(
            backup.path(), {copiedRecord("small", "a.txt"), writtenRecord("w.mdbackup", "b.txt")},
            destination);
        const std::string refused =
            "Could not create folder \"" + destination + "\": Permission denied";
        EXPECT_EQ(descriptions(outcomes), (std::vector<std::string>{refused, refused}));
        EXPECT_FALSE(fileExists(destination));
    });
}

TEST_F(SaveFaultTest, DiskFillingUpFailsThatFileLeavesNothingPartialAndTheNextIsSaved) {
    writeFile(backup / "big", std::string(64 * 1024, 'b'));
    test::writeMdbackup(backup / "big.mdbackup", "big", std::string(64 * 1024, 'w'));
    writeFile(destination + "/kept.txt", "what was there");
    std::vector<FileOutcome> outcomes;
    FileOutcome one;
    {
        test::FileSizeLimit full(16 * 1024);
        outcomes =
            saveAll(backup.path(),
                    {copiedRecord("big", "copied.txt"), writtenRecord("big.mdbackup", "kept.txt"),
                     copiedRecord("small", "small.txt"), writtenRecord("w.mdbackup", "w.txt")},
                    destination);
        one = saveFile(backup.path(), copiedRecord("big", "x"), destination + "/one.txt");
    }
    EXPECT_EQ(descriptions(outcomes),
              (std::vector<std::string>{
                  "Could not copy to " + inDestination("copied.txt") + ": File too large",
                  "Could not write " + inDestination("kept.txt") + ": File too large", "saved",
                  "saved"}));
    EXPECT_EQ(one.error->description(),
              "Could not copy to " + inDestination("one.txt") + ": File too large");
    // No temporary file is left behind, and the existing target keeps its bytes.
    EXPECT_EQ(*directoryContents(destination),
              (std::vector<std::string>{"kept.txt", "small.txt", "w.txt"}));
    EXPECT_EQ(readText(destination + "/kept.txt"), "what was there");
    EXPECT_EQ(readText(destination + "/small.txt"), "small");
    EXPECT_EQ(readText(destination + "/w.txt"), "written");
}

TEST_F(SaveFaultTest, StoredFilesThatCannotBeReadFailAloneAndChangeNothing) {
    writeFile(backup / "locked", "locked");
    test::writeMdbackup(backup / "locked.mdbackup", "locked", "locked");
    writeFile(backup / "ab/abcdef", "in a locked folder");
    for (const char* name : {"locked", "locked.mdbackup", "ab"})
        ::chmod((backup / name).c_str(), 0);
    // The backup stays root's: the child reads it as anyone else may.
    ::chmod(backup.path().c_str(), 0755);
    const auto before = test::folderSnapshot(backup.path());
    test::handOverToUnprivilegedUser(parent.path());
    test::expectAsUnprivilegedUser([&] {
        auto outcomes = saveAll(backup.path(),
                                {copiedRecord("locked", "a"), writtenRecord("locked.mdbackup", "b"),
                                 copiedRecord("ab/abcdef", "c"), writtenRecord("w.mdbackup", "d")},
                                destination);
        EXPECT_EQ(descriptions(outcomes),
                  (std::vector<std::string>{
                      "Could not copy from " + inBackup("locked") + ": Permission denied",
                      "Could not read " + inBackup("locked.mdbackup") + ": Permission denied",
                      "Could not open folder " + inBackup("ab") + ": Permission denied", "saved"}));
        EXPECT_EQ(*directoryContents(destination), std::vector<std::string>{"d"});
    });
    EXPECT_EQ(test::folderSnapshot(backup.path()), before);
}

}  // namespace
}  // namespace salvora
