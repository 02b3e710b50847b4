#include "catalog/layouts/manifest_database/RecordOrder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace salvora {
namespace {

RecordVisits sorted(RecordVisits visits) {
    sortByRecordOffset(visits);
    return visits;
}

TEST(RecordOrder, SortsByOffsetKeepingTheOrderOfEqualOffsets) {
    RecordVisits visits;
    std::uint32_t state = 12345;
    for (std::uint32_t entry = 0; entry < 5000; ++entry) {
        state = state * 1664525u + 1013904223u;
        // Offsets of every size, many of them repeated.
        visits.push_back({(state >> (state % 24)) % 3000 * (entry % 2 == 0 ? 1u : 65537u), entry});
    }
    RecordVisits expected = visits;
    std::stable_sort(expected.begin(), expected.end(),
                     [](const auto& a, const auto& b) { return a.recordOffset < b.recordOffset; });
    EXPECT_EQ(sorted(visits), expected);
}

TEST(RecordOrder, EmptyAndAllEqualStayAsTheyAre) {
    EXPECT_TRUE(sorted({}).empty());
    RecordVisits same{{7, 2}, {7, 0}, {7, 1}};
    EXPECT_EQ(sorted(same), same);
}

}  // namespace
}  // namespace salvora
