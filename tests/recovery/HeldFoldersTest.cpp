#include "recovery/HeldFolders.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "foundation/FileWriting.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::readText;
using test::TemporaryFolder;
using test::writeFile;

std::span<const std::byte> bytesOf(std::string_view text) {
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

class HeldFoldersTest : public ::testing::Test {
  protected:
    TemporaryFolder chosen;
    std::string destination = chosen / "F";
    HeldFolders folders{destination, CreateMissing::Yes};
    ErrorSlot error;

    // The folder, or null with its error kept in `error`.
    const OpenFolder* folderFor(const std::vector<std::string_view>& levels) {
        auto folder = folders.folderFor(levels);
        if (!folder) error = folder.error();
        return folder ? *folder : nullptr;
    }
};

TEST_F(HeldFoldersTest, MakesEveryMissingLevelAndTheDestination) {
    const OpenFolder* folder = folderFor({"a", "b"});
    ASSERT_NE(folder, nullptr) << error->description();
    EXPECT_EQ(folder->path(), destination + "/a/b");
    EXPECT_TRUE(std::filesystem::is_directory(destination + "/a/b"));
    const OpenFolder* top = folderFor({});
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(top->path(), destination);
    EXPECT_FALSE(error);
}

TEST_F(HeldFoldersTest, MoreFoldersThanAreHeldOpenAreAllReached) {
    // More than are held open at a time, so the first are let go and reached again.
    const int count = 140;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < count; ++i) {
            const std::string name = "folder" + std::to_string(i);
            const OpenFolder* folder = folderFor({"shared", name});
            ASSERT_NE(folder, nullptr) << name;
            EXPECT_EQ(folder->path(), destination + "/shared/" + name);
        }
    }
    const OpenFolder* first = folderFor({"shared", "folder0"});
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(writeAtomically(bytesOf("first"), *first, "f"));
    EXPECT_EQ(readText(destination + "/shared/folder0/f"), "first");
}

// A folder is kept open between files: replacing it by a link meanwhile leads nothing out of
// the destination, the files still go into the folder that was made.
TEST_F(HeldFoldersTest, AFolderKeptOpenIsNeverSwappedForALink) {
    ASSERT_NE(folderFor({"a"}), nullptr);
    TemporaryFolder elsewhere;
    std::filesystem::rename(destination + "/a", destination + "/moved");
    std::filesystem::create_directory_symlink(elsewhere.path(), destination + "/a");

    const OpenFolder* folder = folderFor({"a"});
    ASSERT_NE(folder, nullptr);
    EXPECT_TRUE(writeAtomically(bytesOf("kept"), *folder, "f"));
    EXPECT_EQ(readText(destination + "/moved/f"), "kept");
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
}

TEST_F(HeldFoldersTest, AFolderThatCouldNotBeMadeIsTriedAgain) {
    writeFile(destination + "/x", "in the way");
    EXPECT_EQ(folderFor({"x", "y"}), nullptr);
    ASSERT_TRUE(error);
    EXPECT_NE(error->description().find(destination + "/x"), std::string::npos);

    std::filesystem::remove(destination + "/x");
    error.reset();
    EXPECT_NE(folderFor({"x", "y"}), nullptr);
    EXPECT_FALSE(error);
}

TEST_F(HeldFoldersTest, LevelsThatAreNoPlainNameAreRefused) {
    for (std::string_view level : {"", ".", "..", "a/b"}) {
        error.reset();
        EXPECT_EQ(folderFor({level}), nullptr) << level;
        EXPECT_TRUE(error) << level;
    }
}

}  // namespace
}  // namespace salvora
