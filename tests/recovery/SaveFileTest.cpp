#include <gtest/gtest.h>

#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/StoredFiles.h"

namespace salvora {
namespace {
using test::copiedRecord;
using test::readText;
using test::writeFile;
using test::writtenRecord;

TEST(ProposedFileName, IsTheLastComponentOfTheRelativePath) {
    EXPECT_EQ(proposedFileName(copiedRecord("x", "Library/Preferences/b.plist")), "b.plist");
    EXPECT_EQ(proposedFileName(copiedRecord("x", "top.txt")), "top.txt");
    EXPECT_EQ(proposedFileName(copiedRecord("x", std::nullopt)), "");
}

class SaveFileTest : public ::testing::Test {
  protected:
    test::TemporaryFolder backup;
    test::TemporaryFolder chosen;
    LogCapture log;
};

TEST_F(SaveFileTest, CopyToAFreePathGivesTheStoredBytesAndOneNullLine) {
    writeFile(backup / "ab/abcdef", "stored\0bytes");
    auto outcome = saveFile(backup.path(), copiedRecord("ab/abcdef", "Documents/a.txt"),
                            chosen / "picked name");
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(outcome.target, chosen / "picked name");
    EXPECT_EQ(test::readBytes(chosen / "picked name"), test::readBytes(backup / "ab/abcdef"));
    EXPECT_EQ(log.lines(), std::vector<std::string>{"(null)"});
}

TEST_F(SaveFileTest, CopyOntoAnExistingFileKeepsItAndLogsOneError) {
    writeFile(backup / "stored", "new");
    writeFile(chosen / "taken", "old");
    auto outcome = saveFile(backup.path(), copiedRecord("stored", "a"), chosen / "taken");
    EXPECT_EQ(readText(chosen / "taken"), "old");
    const std::string error = "Could not copy to \"" + chosen / "taken" + "\": File exists";
    EXPECT_EQ(log.lines(), std::vector<std::string>{error});
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->description(), error);
}

TEST_F(SaveFileTest, WriteWayGivesExactlyTheDataWhateverWasThere) {
    const std::string data("\x00\x01 data \xff", 9);
    test::writeMdbackup(backup / "w.mdbackup", "Library/w", data, test::PlistFormat::Xml);
    writeFile(chosen / "taken", "a much longer content that was there before");
    auto outcome =
        saveFile(backup.path(), writtenRecord("w.mdbackup", "Library/w"), chosen / "taken");
    EXPECT_FALSE(outcome.error);
    EXPECT_EQ(readText(chosen / "taken"), data);
    EXPECT_EQ(*directoryContents(chosen.path()), std::vector<std::string>{"taken"});
    EXPECT_EQ(log.lines(), std::vector<std::string>{"(null)"});
}

TEST_F(SaveFileTest, MakesNoFolders) {
    writeFile(backup / "stored", "x");
    auto outcome = saveFile(backup.path(), copiedRecord("stored", "a/b"), chosen / "new/b");
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->description(),
              "Could not open folder \"" + chosen / "new" + "\": No such file or directory");
    EXPECT_FALSE(fileExists(chosen / "new"));
    EXPECT_EQ(log.lines().size(), 1u);
}

}  // namespace
}  // namespace salvora
