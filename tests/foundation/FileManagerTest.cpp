#include "foundation/FileManager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::readText;
using test::TemporaryFolder;
using test::writeFile;

TEST(DirectoryContents, NamesSortedHiddenIncludedNoDots) {
    TemporaryFolder folder;
    writeFile(folder / "b", "");
    writeFile(folder / ".hidden", "");
    writeFile(folder / "A", "");
    writeFile(folder / "sub/inner", "");
    auto names = directoryContents(folder.path());
    ASSERT_TRUE(names);
    EXPECT_EQ(*names, (std::vector<std::string>{".hidden", "A", "b", "sub"}));
    EXPECT_FALSE(directoryContents(folder / "missing"));
    EXPECT_FALSE(directoryContents(folder / "b"));
}

TEST(FileTests, ExistenceAndFolders) {
    TemporaryFolder folder;
    writeFile(folder / "file", "x");
    EXPECT_TRUE(fileExists(folder / "file"));
    EXPECT_FALSE(isDirectory(folder / "file"));
    EXPECT_TRUE(isDirectory(folder.path()));
    EXPECT_FALSE(fileExists(folder / "missing"));
    EXPECT_FALSE(modificationDate(folder / "missing"));
    EXPECT_TRUE(modificationDate(folder / "file"));
}

TEST(CreateDirectory, OneLevelOnlyAndFailsWhenPresent) {
    TemporaryFolder folder;
    EXPECT_FALSE(createDirectory(folder / "one"));
    EXPECT_TRUE(createDirectory(folder / "one"));  // exists: fails harmlessly
    auto error = createDirectory(folder / "missing/two");
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find("missing/two"), std::string::npos);
    EXPECT_FALSE(fileExists(folder / "missing"));
}

TEST(CreateDirectory, WithIntermediatesSucceedsWhenPresent) {
    TemporaryFolder folder;
    EXPECT_FALSE(createDirectoryWithIntermediates(folder / "a/b/c"));
    EXPECT_TRUE(isDirectory(folder / "a/b/c"));
    EXPECT_FALSE(createDirectoryWithIntermediates(folder / "a/b/c"));
    writeFile(folder / "file", "");
    EXPECT_TRUE(createDirectoryWithIntermediates(folder / "file/sub"));
}

TEST(CopyItem, CopiesBytesAndLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    writeFile(folder / "source", "contents");
    std::filesystem::create_directory(folder / "out");
    EXPECT_FALSE(copyItem(folder / "source", folder / "out/target"));
    EXPECT_EQ(readText(folder / "out/target"), "contents");
    EXPECT_EQ(*directoryContents(folder / "out"), std::vector<std::string>{"target"});
}

TEST(CopyItem, NeverReplacesAnExistingTarget) {
    TemporaryFolder folder;
    writeFile(folder / "source", "new");
    writeFile(folder / "target", "old");
    auto error = copyItem(folder / "source", folder / "target");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "File exists");
    EXPECT_EQ(readText(folder / "target"), "old");
    EXPECT_EQ(directoryContents(folder.path())->size(), 2u);
}

TEST(CopyItem, RefusesMissingLinkedAndSpecialSources) {
    TemporaryFolder folder;
    writeFile(folder / "real", "secret");
    ASSERT_EQ(::symlink((folder / "real").c_str(), (folder / "link").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    std::filesystem::create_directory(folder / "dir");

    EXPECT_TRUE(copyItem(folder / "missing", folder / "t1"));
    EXPECT_TRUE(copyItem(folder / "link", folder / "t2"));
    EXPECT_TRUE(copyItem(folder / "fifo", folder / "t3"));  // must not block
    EXPECT_TRUE(copyItem(folder / "dir", folder / "t4"));
    for (const char* target : {"t1", "t2", "t3", "t4"}) EXPECT_FALSE(fileExists(folder / target));
}

TEST(CopyItem, MissingTargetFolderIsAnErrorNamingTheTarget) {
    TemporaryFolder folder;
    writeFile(folder / "source", "x");
    auto error = copyItem(folder / "source", folder / "nowhere/target");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, folder / "nowhere/target");
}

TEST(WriteAtomically, ReplacesWholeAndLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    writeFile(folder / "target", "a much longer old content");
    EXPECT_FALSE(writeAtomically(test::bytesOf("new"), folder / "target"));
    EXPECT_EQ(readText(folder / "target"), "new");
    EXPECT_EQ(*directoryContents(folder.path()), std::vector<std::string>{"target"});
}

TEST(WriteAtomically, FailedWriteLeavesTargetAndNoTemporaryFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "root ignores folder permissions";
    TemporaryFolder folder;
    writeFile(folder / "ro/target", "old");
    ::chmod((folder / "ro").c_str(), 0500);
    EXPECT_TRUE(writeAtomically(test::bytesOf("new"), folder / "ro/target"));
    ::chmod((folder / "ro").c_str(), 0700);
    EXPECT_EQ(readText(folder / "ro/target"), "old");
    EXPECT_EQ(directoryContents(folder / "ro")->size(), 1u);
}

TEST(WriteAtomically, TargetThatIsAFolderFailsCleanly) {
    TemporaryFolder folder;
    std::filesystem::create_directories(folder / "target/inside");
    EXPECT_TRUE(writeAtomically(test::bytesOf("new"), folder / "target"));
    EXPECT_TRUE(isDirectory(folder / "target/inside"));
    EXPECT_EQ(*directoryContents(folder.path()), std::vector<std::string>{"target"});
}

TEST(ReadFile, WholeFileOrAbsentWithReason) {
    TemporaryFolder folder;
    writeFile(folder / "file", "abc");
    auto contents = readFile(folder / "file");
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->size(), 3u);
    EXPECT_EQ(static_cast<char>(contents->bytes()[2]), 'c');

    ErrorSlot error;
    EXPECT_FALSE(readFile(folder / "missing", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "No such file or directory");
    EXPECT_FALSE(readFile(folder.path()));
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readFile(folder / "fifo"));  // must not block
}

TEST(OpenFolder, MakesAndOpensEachLevelButNeverFollowsALink) {
    TemporaryFolder folder;
    TemporaryFolder outside;
    ASSERT_EQ(::symlink(outside.path().c_str(), (folder / "link").c_str()), 0);
    writeFile(folder / "file", "");
    auto root = openFolder(folder.path());
    ASSERT_TRUE(root);

    auto made = openFolderIn(*root, "new", CreateMissing::Yes);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->path(), folder / "new");
    EXPECT_TRUE(isDirectory(folder / "new"));
    EXPECT_TRUE(openFolderIn(*root, "new", CreateMissing::Yes));  // present: opened as it is
    EXPECT_FALSE(openFolderIn(*root, "missing", CreateMissing::No));
    EXPECT_FALSE(fileExists(folder / "missing"));

    ErrorSlot error;
    EXPECT_FALSE(openFolderIn(*root, "link", CreateMissing::Yes, &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(),
              "Could not open folder \"" + folder / "link" + "\": Is a symbolic link");
    EXPECT_FALSE(openFolderIn(*root, "file", CreateMissing::Yes, &error));
    EXPECT_EQ(error->reason, "Not a directory");
    using namespace std::string_view_literals;
    for (std::string_view name : {""sv, "."sv, ".."sv, "a/b"sv, "a\0b"sv}) {
        EXPECT_FALSE(openFolderIn(*root, name, CreateMissing::Yes, &error)) << name;
        EXPECT_EQ(error->reason, "Not a plain file name");
    }
    EXPECT_EQ(*directoryContents(outside.path()), std::vector<std::string>{});
}

TEST(OpenFolder, CopiesWritesAndReadsInsideTheFolderItWasOpenedAs) {
    TemporaryFolder folder;
    writeFile(folder / "in/source", "bytes");
    std::filesystem::create_directory(folder / "out");
    auto in = openFolder(folder / "in");
    auto out = openFolder(folder / "out");
    ASSERT_TRUE(in && out);
    // The folder's path is swapped for a link after it was opened: files still land in it.
    std::filesystem::rename(folder / "out", folder / "moved");
    ASSERT_EQ(::symlink((folder / "in").c_str(), (folder / "out").c_str()), 0);

    EXPECT_FALSE(copyItem(*in, "source", *out, "copied"));
    EXPECT_FALSE(writeAtomically(test::bytesOf("written"), *out, "written"));
    EXPECT_EQ(readText(folder / "moved/copied"), "bytes");
    EXPECT_EQ(readText(folder / "moved/written"), "written");
    EXPECT_EQ(*directoryContents(folder / "in"), std::vector<std::string>{"source"});

    auto error = copyItem(*in, "source", *out, "copied");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(),
              "Could not copy to \"" + folder / "out/copied" + "\": File exists");
    EXPECT_EQ(readText(folder / "moved/copied"), "bytes");
    EXPECT_TRUE(copyItem(*in, "../in/source", *out, "other"));
    EXPECT_TRUE(writeAtomically(test::bytesOf("x"), *out, "../escaped"));
    EXPECT_FALSE(fileExists(folder / "escaped"));
}

TEST(OpenFolder, ReadRefusesALinkWhereThePathReadFollowsIt) {
    TemporaryFolder folder;
    writeFile(folder / "real", "secret");
    ASSERT_EQ(::symlink((folder / "real").c_str(), (folder / "link").c_str()), 0);
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);
    EXPECT_TRUE(readFile(*open, "real"));
    ErrorSlot error;
    EXPECT_FALSE(readFile(*open, "link", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(),
              "Could not read \"" + folder / "link" + "\": Is a symbolic link");
    EXPECT_TRUE(readFile(folder / "link"));
}

}  // namespace
}  // namespace salvora
