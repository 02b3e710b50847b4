#include "foundation/FolderCreation.h"

#include <gtest/gtest.h>

#include "foundation/FileQueries.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::TemporaryFolder;

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
    test::writeFile(folder / "file", "");
    EXPECT_TRUE(createDirectoryWithIntermediates(folder / "file/sub"));
}

}  // namespace
}  // namespace salvora
