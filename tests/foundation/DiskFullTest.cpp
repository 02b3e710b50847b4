// A full disk, played by a file-size limit: writes past it fail with EFBIG, for root too.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "foundation/FileManager.h"
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
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved;
        limited.rlim_cur = 4096;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    void TearDown() override {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
    }
    std::vector<std::string> folderContents() { return *directoryContents(folder.path()); }

    TemporaryFolder folder;
    rlimit saved{};
    void (*previousHandler)(int) = nullptr;
};

TEST_F(DiskFull, CopyFailsWithoutAPartialFile) {
    auto error = copyItem(folder / "big", folder / "copy");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->path, folder / "copy");
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"big", "existing"}));
}

TEST_F(DiskFull, AtomicWriteFailsAndLeavesTheTargetAsItWas) {
    std::string large(64 * 1024, 'y');
    auto error = writeAtomically(test::bytesOf(large), folder / "existing");
    ASSERT_TRUE(error);
    EXPECT_EQ(readText(folder / "existing"), "old");
    EXPECT_EQ(folderContents(), (std::vector<std::string>{"big", "existing"}));
    EXPECT_FALSE(writeAtomically(test::bytesOf("small"), folder / "existing"));
    EXPECT_EQ(readText(folder / "existing"), "small");
}

}  // namespace
}  // namespace salvora
