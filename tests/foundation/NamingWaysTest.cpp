// Every way a new file takes its name, forced in turn as a drive without the ways before it
// forces it: whole and dated, never replacing a file that took the name meanwhile, and nothing
// left on failure. (Refused names, on every way, are tried on real drives: DriveNamesTest.)
#include <gtest/gtest.h>

#include "foundation/FileQueries.h"
#include "foundation/FileWriting.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using Names = std::vector<std::string>;

class NamingWaysTest : public testing::TestWithParam<NamingWay> {
  protected:
    // Makes `name` with the way forced; `meanwhile` runs after the contents are written and
    // answers what the writer returns.
    Result<std::string> make(const std::string& name, const std::function<Status()>& meanwhile) {
        return createFile(
            *open, name,
            [&](int fd) {
                EXPECT_TRUE(writeAll(fd, test::bytesOf("contents")));
                return meanwhile();
            },
            Making{1'500'000'000, &ways});
    }

    Names entries() const { return *directoryContents(folder.path()); }

    test::TemporaryFolder folder;
    Result<OpenFolder> open = openFolder(folder.path());
    NamingWays ways{GetParam()};
};

TEST_P(NamingWaysTest, MakesFilesWholeAndDatedNeverReplacingAndLeavingNothingOnFailure) {
    EXPECT_FALSE(make("failed.txt", [] { return Error{"Could not decrypt", "/b/ab", "Damaged"}; }));
    EXPECT_EQ(entries(), Names{});
    auto taken = make("file.txt", [&] {
        test::writeFile(folder / "file.txt", "theirs");
        return Status{};
    });
    ASSERT_FALSE(taken);
    EXPECT_EQ(taken.error().reason, "File exists");
    EXPECT_EQ(test::readText(folder / "file.txt"), "theirs");
    EXPECT_EQ(entries(), Names{"file.txt"});

    ASSERT_TRUE(make("new.txt", [] { return Status{}; }));
    EXPECT_EQ(test::readText(folder / "new.txt"), "contents");
    EXPECT_EQ(test::modificationSeconds(folder / "new.txt"), 1'500'000'000);
    EXPECT_EQ(entries(), (Names{"file.txt", "new.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Forced, NamingWaysTest,
                         testing::Values(NamingWay::UnnamedFile, NamingWay::NoReplaceRename,
                                         NamingWay::HardLink, NamingWay::Placeholder));

}  // namespace
}  // namespace salvora
