// Output handed to the writer thread arrives whole and in order, however it was cut up.
#include "cli/WriteBehind.h"

#include <gtest/gtest.h>

#include <sstream>

namespace salvora::cli {
namespace {

class WriteBehindTest : public ::testing::TestWithParam<std::size_t> {};

TEST_P(WriteBehindTest, EveryPieceArrivesOnceInTheOrderHanded) {
    std::ostringstream out;
    std::string expected;
    {
        WriteBehind writer(out);
        std::string piece;
        for (std::size_t number = 0; number < GetParam(); ++number) {
            // Pieces of every length up to a few kilobytes, some of them empty.
            piece.assign(number * 37 % 4096, static_cast<char>('a' + number % 26));
            expected += piece;
            writer.hand(piece);
            EXPECT_TRUE(piece.empty());
        }
        piece = "last";
        expected += piece;
        writer.handLast(piece);
    }
    EXPECT_EQ(out.str(), expected);
}

INSTANTIATE_TEST_SUITE_P(PieceCounts, WriteBehindTest, ::testing::Values(0, 1, 2, 3000));

}  // namespace
}  // namespace salvora::cli
