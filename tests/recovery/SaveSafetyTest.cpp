// What a damaged or crafted backup, or a planted link, must never achieve: a write outside the
// chosen folder, a read outside the backup, or a failure reported as a success.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
using namespace std::string_literals;

// A backup, a folder the user chose inside a parent folder, and a folder elsewhere that a
// crafted backup would like to reach.
class SaveSafetyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(backup / "stored", "stored bytes");
        writeFile(elsewhere / "secret", "secret bytes");
        std::filesystem::create_directory(destination);
    }
    void link(const std::string& target, const std::string& at) {
        ASSERT_EQ(::symlink(target.c_str(), at.c_str()), 0) << at;
    }

    test::TemporaryFolder backup;
    test::TemporaryFolder parent;
    test::TemporaryFolder elsewhere;
    std::string destination = parent / "chosen";
    LogCapture log;
};

struct UnsafePath {
    std::optional<std::string> fullpath;
    std::string reason;
};

void PrintTo(const UnsafePath& path, std::ostream* out) {
    *out << ::testing::PrintToString(path.fullpath);
}

class UnsafeRelativePath : public SaveSafetyTest,
                           public ::testing::WithParamInterface<UnsafePath> {};

TEST_P(UnsafeRelativePath, IsRefusedForThatFileAndNothingIsMade) {
    const auto before = test::folderSnapshot(parent.path());
    auto outcomes = saveAll(
        backup.path(),
        {copiedRecord("stored", GetParam().fullpath), writtenRecord("stored", GetParam().fullpath)},
        destination);
    ASSERT_EQ(outcomes.size(), 2u);
    for (const auto& outcome : outcomes) {
        ASSERT_TRUE(outcome.error);
        EXPECT_EQ(outcome.error->operation, "Refused to save");
        EXPECT_EQ(outcome.error->reason, GetParam().reason);
    }
    EXPECT_EQ(log.lines().size(), 4u);
    EXPECT_EQ(log.lines()[0], log.lines()[1]);
    EXPECT_EQ(test::folderSnapshot(parent.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Recovery, UnsafeRelativePath,
    ::testing::Values(
        UnsafePath{"../escaped.txt", "The relative path leads outside the chosen folder"},
        UnsafePath{"Documents/../../escaped.txt",
                   "The relative path leads outside the chosen folder"},
        UnsafePath{"..", "The relative path leads outside the chosen folder"},
        UnsafePath{"Documents/..", "The relative path leads outside the chosen folder"},
        UnsafePath{"/../escaped.txt", "The relative path leads outside the chosen folder"},
        UnsafePath{"./a.txt", "The relative path has a \".\" component"},
        UnsafePath{"Documents/.", "The relative path has a \".\" component"},
        UnsafePath{"", "The relative path names no file"},
        UnsafePath{"//", "The relative path names no file"},
        UnsafePath{"a\0/../../escaped.txt"s, "The relative path holds a NUL character"},
        UnsafePath{"..\0x"s, "The relative path holds a NUL character"},
        UnsafePath{std::nullopt, "The file has no relative path"}));

TEST_F(SaveSafetyTest, AbsoluteRelativePathLandsBelowTheChosenFolder) {
    auto outcomes =
        saveAll(backup.path(), {copiedRecord("stored", "/tmp/absolute.txt")}, destination);
    EXPECT_FALSE(outcomes[0].error);
    EXPECT_EQ(outcomes[0].target, destination + "/tmp/absolute.txt");
    EXPECT_EQ(readText(destination + "/tmp/absolute.txt"), "stored bytes");
}

TEST_F(SaveSafetyTest, LinkPlantedAsAFolderOnTheWayIsNotFollowed) {
    link(elsewhere.path(), destination + "/Documents");
    const auto before = test::folderSnapshot(elsewhere.path());
    auto outcomes = saveAll(backup.path(),
                            {copiedRecord("stored", "Documents/a.txt"),
                             copiedRecord("stored", "Documents/deeper/b.txt")},
                            destination);
    const std::string refused =
        "Could not open folder \"" + destination + "/Documents\": Is a symbolic link";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{refused, refused, refused, refused}));
    EXPECT_EQ(test::folderSnapshot(elsewhere.path()), before);
}

TEST_F(SaveSafetyTest, LinkPlantedAsTheTargetIsNeverWrittenThrough) {
    writeMdbackup(backup / "w.mdbackup", "w", "written");
    link(elsewhere / "secret", destination + "/copied");
    link(elsewhere / "secret", destination + "/written");
    const auto before = test::folderSnapshot(elsewhere.path());
    auto outcomes = saveAll(
        backup.path(), {copiedRecord("stored", "copied"), writtenRecord("w.mdbackup", "written")},
        destination);
    EXPECT_EQ(outcomes[0].error->reason, "File exists");
    // The write way replaces what is at the target: the link itself, not what it points to.
    EXPECT_FALSE(outcomes[1].error);
    EXPECT_FALSE(std::filesystem::is_symlink(destination + "/written"));
    EXPECT_EQ(readText(destination + "/written"), "written");
    EXPECT_EQ(test::folderSnapshot(elsewhere.path()), before);
}

struct OddStoredFile {
    std::string name;
    bool oldVersion;
    std::string description;  // of the error, with "<backup>" for the backup folder
};

void PrintTo(const OddStoredFile& file, std::ostream* out) {
    *out << ::testing::PrintToString(file.name) << (file.oldVersion ? " (write way)" : "");
}

class StoredFileThatIsNotARegularFile : public SaveSafetyTest,
                                        public ::testing::WithParamInterface<OddStoredFile> {
  protected:
    void SetUp() override {
        SaveSafetyTest::SetUp();
        writeFile(elsewhere / "inside/file", "outside the backup");
        link(elsewhere / "secret", backup / "link");
        link(elsewhere / "inside", backup / "linkedfolder");
        std::filesystem::create_directory(backup / "folder");
        ASSERT_EQ(::mkfifo((backup / "fifo").c_str(), 0600), 0);
    }
};

TEST_P(StoredFileThatIsNotARegularFile, GivesAnErrorAndNoFile) {
    FileRecord file = test::keptRecord(GetParam().name, "out.txt", GetParam().oldVersion);
    auto outcome = saveFile(backup.path(), file, destination + "/one.txt");
    auto outcomes = saveAll(backup.path(), {file}, destination);

    std::string expected = GetParam().description;
    expected.replace(expected.find("<backup>"), 8, backup.path());
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->description(), expected);
    ASSERT_TRUE(outcomes[0].error);
    EXPECT_EQ(outcomes[0].error->description(), expected);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{expected, "(null)", expected}));
    EXPECT_EQ(*directoryContents(destination), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Recovery, StoredFileThatIsNotARegularFile,
    ::testing::Values(
        OddStoredFile{"link", false, "Could not copy from \"<backup>/link\": Is a symbolic link"},
        OddStoredFile{"link", true, "Could not read \"<backup>/link\": Is a symbolic link"},
        OddStoredFile{"folder", false, "Could not copy from \"<backup>/folder\": Is a directory"},
        OddStoredFile{"folder", true, "Could not read \"<backup>/folder\": Is a directory"},
        OddStoredFile{"fifo", false, "Could not copy from \"<backup>/fifo\": Not a regular file"},
        OddStoredFile{"fifo", true, "Could not read \"<backup>/fifo\": Not a regular file"},
        OddStoredFile{"linkedfolder/file", false,
                      "Could not open folder \"<backup>/linkedfolder\": Is a symbolic link"},
        OddStoredFile{"../escaped", false,
                      "Refused to read \"<backup>/../escaped\": The stored name leads outside "
                      "the backup folder"},
        OddStoredFile{"ab/../../escaped", true,
                      "Refused to read \"<backup>/ab/../../escaped\": The stored name leads "
                      "outside the backup folder"},
        OddStoredFile{"", false, "Refused to read \"<backup>\": The stored name names no file"}));

struct DamagedPropertyList {
    std::string label;
    std::optional<std::string> contents;  // absent: no file at all
    std::string reason;
};

class DamagedMdbackup : public SaveSafetyTest,
                        public ::testing::WithParamInterface<DamagedPropertyList> {};

TEST_P(DamagedMdbackup, IsAnErrorNamingTheStoredFileNotASuccess) {
    const std::string stored = backup / "damaged.mdbackup";
    if (GetParam().contents) writeFile(stored, *GetParam().contents);
    const std::string expected = "Could not read \"" + stored + "\": " + GetParam().reason;

    auto outcomes =
        saveAll(backup.path(), {writtenRecord("damaged.mdbackup", "d.txt")}, destination);
    auto outcome = saveFile(backup.path(), writtenRecord("damaged.mdbackup", "d.txt"),
                            destination + "/one.txt");
    ASSERT_TRUE(outcomes[0].error);
    EXPECT_EQ(outcomes[0].error->description(), expected);
    ASSERT_TRUE(outcome.error);
    EXPECT_EQ(outcome.error->description(), expected);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"(null)", expected, expected}));
    EXPECT_EQ(*directoryContents(destination), std::vector<std::string>{});
}

std::string xmlPropertyList(const test::PlistValue& value) {
    auto bytes = value.encode(test::PlistFormat::Xml);
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

INSTANTIATE_TEST_SUITE_P(
    Recovery, DamagedMdbackup,
    ::testing::Values(DamagedPropertyList{"Missing", std::nullopt, "No such file or directory"},
                      DamagedPropertyList{"Empty", "", "Not a property list dictionary"},
                      DamagedPropertyList{"Garbage", "not a property list at all",
                                          "Not a property list dictionary"},
                      DamagedPropertyList{"TruncatedBinary", "bplist00\xd1\x01\x02",
                                          "Not a property list dictionary"},
                      DamagedPropertyList{"ArrayAtTheTop",
                                          xmlPropertyList(test::PlistValue::array(
                                              {test::PlistValue::string("Data")})),
                                          "Not a property list dictionary"},
                      DamagedPropertyList{"NoData",
                                          xmlPropertyList(test::PlistValue::dictionary(
                                              {{"Path", test::PlistValue::string("d.txt")}})),
                                          "Holds no \"Data\" value"},
                      DamagedPropertyList{"DataOfAnotherKind",
                                          xmlPropertyList(test::PlistValue::dictionary(
                                              {{"Data", test::PlistValue::string("text")}})),
                                          "Holds no \"Data\" value"}),
    [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace salvora
