#include "foundation/FolderCreation.h"

#include <gtest/gtest.h>

#include "foundation/FileQueries.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::TemporaryFolder;

TEST(CreateDirectory, OneLevelOnlyAndFailsWhenPresent) {
    TemporaryFolder folder;
    EXPECT_TRUE(createDirectory(folder / "one"));
    EXPECT_FALSE(createDirectory(folder / "one"));  // exists: fails harmlessly
    Status created = createDirectory(folder / "missing/two");
    ASSERT_FALSE(created);
    EXPECT_NE(created.error().description().find("missing/two"), std::string::npos);
    EXPECT_FALSE(fileExists(folder / "missing"));
}

TEST(CreateDirectory, WithIntermediatesSucceedsWhenPresent) {
    TemporaryFolder folder;
    EXPECT_TRUE(createDirectoryWithIntermediates(folder / "a/b/c"));
    EXPECT_TRUE(isDirectory(folder / "a/b/c"));
    EXPECT_TRUE(createDirectoryWithIntermediates(folder / "a/b/c"));
    test::writeFile(folder / "file", "");
    EXPECT_FALSE(createDirectoryWithIntermediates(folder / "file/sub"));
}

}  // namespace
}  // namespace salvora
