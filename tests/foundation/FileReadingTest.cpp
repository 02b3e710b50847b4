#include "foundation/FileReading.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::TemporaryFolder;
using test::writeFile;

TEST(ReadFile, WholeFileOrAbsentWithReason) {
    TemporaryFolder folder;
    writeFile(folder / "file", "abc");
    auto contents = readFile(folder / "file");
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->size(), 3u);
    EXPECT_EQ(static_cast<char>(contents->bytes()[2]), 'c');

    auto missing = readFile(folder / "missing");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().reason, "No such file or directory");
    EXPECT_FALSE(readFile(folder.path()));
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    EXPECT_FALSE(readFile(folder / "fifo"));  // must not block
}

TEST(ReadFile, InAnOpenFolderALinkIsRefusedWhereThePathReadFollowsIt) {
    TemporaryFolder folder;
    writeFile(folder / "real", "secret");
    ASSERT_EQ(::symlink((folder / "real").c_str(), (folder / "link").c_str()), 0);
    auto open = openFolder(folder.path());
    ASSERT_TRUE(open);
    EXPECT_TRUE(readFile(*open, "real"));
    auto linked = readFile(*open, "link");
    ASSERT_FALSE(linked);
    EXPECT_EQ(linked.error().description(),
              "Could not read \"" + folder / "link" + "\": Is a symbolic link");
    EXPECT_TRUE(readFile(folder / "link"));
    EXPECT_TRUE(openForReading(*open, "real"));
    auto opened = openForReading(*open, "link");
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().reason, "Is a symbolic link");
}

}  // namespace
}  // namespace salvora
