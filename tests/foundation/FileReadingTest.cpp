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

    ErrorSlot error;
    EXPECT_FALSE(readFile(folder / "missing", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "No such file or directory");
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
    ErrorSlot error;
    EXPECT_FALSE(readFile(*open, "link", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->description(),
              "Could not read \"" + folder / "link" + "\": Is a symbolic link");
    EXPECT_TRUE(readFile(folder / "link"));
    EXPECT_TRUE(openForReading(*open, "real"));
    error.reset();
    EXPECT_FALSE(openForReading(*open, "link", &error));
    ASSERT_TRUE(error);
    EXPECT_EQ(error->reason, "Is a symbolic link");
}

}  // namespace
}  // namespace salvora
