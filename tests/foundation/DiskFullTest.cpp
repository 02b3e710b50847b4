// A full disk, played by a file-size limit: writes past it fail with EFBIG, for root too.
#include <gtest/gtest.h>

#include <optional>

#include "foundation/FileQueries.h"
#include "foundation/FileWriting.h"
#include "support/FileSizeLimit.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::readText;
using test::TemporaryFolder;
using test::writeFile;

class DiskFull : public testing::Test {
  protected:
    void SetUp() override {
        writeFile(folder / "big", std::string(64 * 1024, 'x'));
        writeFile(folder / "existing", "old");
        auto opened = openFolder(folder.path());
        ASSERT_TRUE(opened);
        open.emplace(std::move(*opened));
        limit.emplace(4096);
    }
    std::vector<std::string> folderContents() { return *directoryContents(folder.path()); }

    TemporaryFolder folder;
    std::optional<OpenFolder> open;
    std::optional<test::FileSizeLimit> limit;
};

TEST_F(DiskFull, CopyFailsWithoutAPartialFile) {
    Status copied = copyItem(*open, "big", *open, "copy");
    ASSERT_FALSE(copied);
    EXPECT_EQ(copied.error().path, folder / "copy");
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"big", "existing"}));
}

TEST_F(DiskFull, AtomicWriteFailsAndLeavesTheTargetAsItWas) {
    std::string large(64 * 1024, 'y');
    ASSERT_FALSE(writeAtomically(test::bytesOf(large), *open, "existing"));
    EXPECT_EQ(readText(folder / "existing"), "old");
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"big", "existing"}));
    EXPECT_TRUE(writeAtomically(test::bytesOf("small"), *open, "existing"));
    EXPECT_EQ(readText(folder / "existing"), "small");
}

}  // namespace
}  // namespace salvora
