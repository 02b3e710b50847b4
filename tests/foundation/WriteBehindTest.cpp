// Jobs run on the writing thread in the order they were added, and the first to fail stops
// those after it and is what finishing reports.
#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "foundation/WriteBehind.h"

namespace salvora {
namespace {

TEST(WriteBehind, RunsEveryJobInOrder) {
    std::vector<int> done;
    WriteBehind jobs;
    std::vector<int> added;
    for (int i = 0; i < 300; ++i) {
        added.push_back(i);
        EXPECT_TRUE(jobs.add([&done, i] {
            done.push_back(i);
            return Status();
        }));
    }
    EXPECT_TRUE(jobs.finish());
    EXPECT_EQ(done, added);
}

TEST(WriteBehind, StopsAtTheFirstFailureAndReportsIt) {
    std::atomic<int> ranAfter = 0;
    WriteBehind jobs;
    EXPECT_TRUE(jobs.add([] { return Status(Error{"Could not write", "page-1.html", "full"}); }));
    int refused = 0;
    for (int i = 0; i < 100; ++i)
        if (!jobs.add([&ranAfter] {
                ++ranAfter;
                return Status();
            }))
            ++refused;
    const Status finished = jobs.finish();
    ASSERT_FALSE(finished);
    EXPECT_EQ(finished.error().path, "page-1.html");
    EXPECT_EQ(ranAfter.load(), 0);
    // Only the few added before the failure was known were taken.
    EXPECT_GE(refused, 97);
    EXPECT_FALSE(jobs.add([] { return Status(); }));
}

}  // namespace
}  // namespace salvora
