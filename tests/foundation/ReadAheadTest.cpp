// Items made on the reading thread come out whole and in order, the reading stops when the
// taker goes away early, and what making an item throws reaches the taker.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

#include "foundation/ReadAhead.h"

namespace salvora {
namespace {

TEST(ReadAhead, HandsOutEveryItemInOrderThenNone) {
    ReadAhead<std::string> items(
        500, [](std::size_t i) { return std::string(i % 7, 'x') + std::to_string(i); });
    for (std::size_t i = 0; i < 500; ++i)
        EXPECT_EQ(items.next(), std::string(i % 7, 'x') + std::to_string(i));
    EXPECT_EQ(items.next(), std::nullopt);
}

TEST(ReadAhead, StopsReadingWhenTheTakerLeavesEarly) {
    std::atomic<std::size_t> made = 0;
    {
        ReadAhead<int> items(1'000'000, [&](std::size_t i) {
            ++made;
            return static_cast<int>(i);
        });
        EXPECT_EQ(items.next(), 0);
    }
    // The one taken, the few waiting, and the one being made when asked to stop.
    EXPECT_LE(made.load(), 4u);
}

TEST(ReadAhead, PassesOnWhatMakingAnItemThrew) {
    ReadAhead<int> items(10, [](std::size_t i) {
        if (i == 3) throw std::runtime_error("damaged");
        return static_cast<int>(i);
    });
    for (int i = 0; i < 3; ++i) EXPECT_EQ(items.next(), i);
    EXPECT_THROW(items.next(), std::runtime_error);
}

}  // namespace
}  // namespace salvora
