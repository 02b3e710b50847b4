#include "foundation/OpenFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "foundation/FileQueries.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::TemporaryFolder;

TEST(OpenFolder, MakesAndOpensEachLevelButNeverFollowsALink) {
    TemporaryFolder folder;
    TemporaryFolder outside;
    ASSERT_EQ(::symlink(outside.path().c_str(), (folder / "link").c_str()), 0);
    test::writeFile(folder / "file", "");
    auto root = openFolder(folder.path());
    ASSERT_TRUE(root);

    auto made = openFolderIn(*root, "new", CreateMissing::Yes);
    ASSERT_TRUE(made);
    EXPECT_EQ(made->path(), folder / "new");
    EXPECT_TRUE(isDirectory(folder / "new"));
    EXPECT_TRUE(openFolderIn(*root, "new", CreateMissing::Yes));  // present: opened as it is
    EXPECT_FALSE(openFolderIn(*root, "missing", CreateMissing::No));
    EXPECT_FALSE(fileExists(folder / "missing"));

    auto linked = openFolderIn(*root, "link", CreateMissing::Yes);
    ASSERT_FALSE(linked);
    EXPECT_EQ(linked.error().description(),
              "Could not open folder \"" + folder / "link" + "\": Is a symbolic link");
    auto file = openFolderIn(*root, "file", CreateMissing::Yes);
    ASSERT_FALSE(file);
    EXPECT_EQ(file.error().reason, "Not a directory");
    using namespace std::string_view_literals;
    for (std::string_view name : {""sv, "."sv, ".."sv, "a/b"sv, "a\0b"sv}) {
        auto opened = openFolderIn(*root, name, CreateMissing::Yes);
        ASSERT_FALSE(opened) << name;
        EXPECT_EQ(opened.error().reason, "Not a plain file name");
    }
    EXPECT_EQ(*directoryContents(outside.path()), std::vector<std::string>{});
}

}  // namespace
}  // namespace salvora
