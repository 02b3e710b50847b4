#include "foundation/FileQueries.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
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

TEST(FileTests, OnlyARegularFileOrALinkToOneIsARegularFile) {
    TemporaryFolder folder;
    writeFile(folder / "file", "x");
    ASSERT_EQ(::symlink((folder / "file").c_str(), (folder / "link").c_str()), 0);
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    ASSERT_EQ(::symlink((folder / "fifo").c_str(), (folder / "link to fifo").c_str()), 0);
    EXPECT_TRUE(isRegularFile(folder / "file"));
    EXPECT_TRUE(isRegularFile(folder / "link"));
    for (const char* name : {"fifo", "link to fifo", "missing"})
        EXPECT_FALSE(isRegularFile(folder / name)) << name;
    EXPECT_FALSE(isRegularFile(folder.path()));
    EXPECT_FALSE(isRegularFile("/dev/null"));
}

}  // namespace
}  // namespace salvora
