// Every way a new file takes its name, each forced in turn on the test's own file system (as a
// drive without the ways before it would force it): the file appears whole and dated, never
// replaces a file that took the name meanwhile, leaves nothing when its making fails, and goes
// under the next name offered when the folder refuses one.
#include <gtest/gtest.h>

#include "foundation/FileQueries.h"
#include "foundation/FileWriting.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::readText;
using test::writeFile;

constexpr std::int64_t phoneTime = 1'500'000'000;

class NamingWaysTest : public testing::TestWithParam<NamingWay> {
  protected:
    // Makes `name` with the way forced, after `meanwhile` has run between the check for an
    // existing file and the naming.
    Result<std::string> make(const std::string& name, const std::function<void()>& meanwhile = {},
                             NextName nextName = {}, bool fail = false) {
        return createFile(
            *open, name,
            [&](int fd) -> Status {
                EXPECT_TRUE(writeAll(fd, test::bytesOf("contents")));
                if (meanwhile) meanwhile();
                if (fail) return Error{"Could not decrypt", "/backup/ab", "Damaged"};
                return {};
            },
            Making{phoneTime, &ways, std::move(nextName)});
    }

    std::vector<std::string> entries() const { return *directoryContents(folder.path()); }

    test::TemporaryFolder folder;
    Result<OpenFolder> open = openFolder(folder.path());
    NamingWays ways{GetParam()};
};

TEST_P(NamingWaysTest, TheFileAppearsWholeAndDatedAndAloneUnderItsName) {
    auto made = make("file.txt");
    ASSERT_TRUE(made) << made.error().description();
    EXPECT_EQ(*made, "file.txt");
    EXPECT_EQ(readText(folder / "file.txt"), "contents");
    EXPECT_EQ(test::modificationSeconds(folder / "file.txt"), phoneTime);
    EXPECT_EQ(entries(), std::vector<std::string>{"file.txt"});
}

TEST_P(NamingWaysTest, AFileThatTookTheNameMeanwhileStaysAndNothingElseIsLeft) {
    auto made = make("file.txt", [&] { writeFile(folder / "file.txt", "theirs"); });
    ASSERT_FALSE(made);
    EXPECT_EQ(made.error().reason, "File exists");
    EXPECT_EQ(readText(folder / "file.txt"), "theirs");
    EXPECT_EQ(entries(), std::vector<std::string>{"file.txt"});
}

TEST_P(NamingWaysTest, AFailureMidwayLeavesNothing) {
    EXPECT_FALSE(make("file.txt", {}, {}, true));
    EXPECT_EQ(entries(), std::vector<std::string>{});
}

TEST_P(NamingWaysTest, ARefusedNameGivesWayToTheNextOffered) {
    std::vector<ErrorKind> refusals;
    auto made = make(std::string(300, 'x'), {}, [&](const std::string& refused, ErrorKind why) {
        refusals.push_back(why);
        return std::optional(refused.substr(0, 200));
    });
    ASSERT_TRUE(made) << made.error().description();
    EXPECT_EQ(*made, std::string(200, 'x'));
    EXPECT_EQ(refusals, std::vector<ErrorKind>{ErrorKind::NameTooLong});
    EXPECT_EQ(entries(), std::vector<std::string>{*made});
    // With nothing offered, the refusal is the outcome.
    auto refused = make(std::string(300, 'y'));
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().kind, ErrorKind::NameTooLong);
    EXPECT_EQ(entries(), std::vector<std::string>{*made});
}

INSTANTIATE_TEST_SUITE_P(Forced, NamingWaysTest,
                         testing::Values(NamingWay::UnnamedFile, NamingWay::NoReplaceRename,
                                         NamingWay::HardLink, NamingWay::Placeholder));

}  // namespace
}  // namespace salvora
