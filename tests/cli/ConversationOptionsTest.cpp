// The dates the conversation exports take on the command line, in this computer's zone
// (Europe/Berlin in tests) or with their own, and the texts that are no date.
#include <gtest/gtest.h>

#include "cli/ConversationOptions.h"

namespace salvora::cli {
namespace {

struct DateCase {
    const char* text;
    bool endOfDay;
    std::optional<UnixMillis> millis;
};

void PrintTo(const DateCase& each, std::ostream* out) { *out << '"' << each.text << '"'; }

class CommandLineDates : public ::testing::TestWithParam<DateCase> {};

TEST_P(CommandLineDates, AreReadInTheirZone) {
    EXPECT_EQ(commandLineDate(GetParam().text, GetParam().endOfDay), GetParam().millis);
}

constexpr UnixMillis seconds(std::int64_t value) { return value * 1000; }

INSTANTIATE_TEST_SUITE_P(
    Texts, CommandLineDates,
    ::testing::Values(DateCase{"2024-05-01", false, seconds(1714514400)},
                      DateCase{"2024-05-01", true, seconds(1714600800)},
                      DateCase{"2024-01-15T10:30:00Z", false, seconds(1705314600)},
                      DateCase{"2024-01-15T10:30+01:00", true, seconds(1705311000)},
                      DateCase{"2024-01-15 10:30:15", false, seconds(1705311015)},
                      DateCase{"2024-13-01", false, std::nullopt},
                      DateCase{"2024-5-1", false, std::nullopt},
                      DateCase{"yesterday", false, std::nullopt},
                      DateCase{"2024-01-15T25:00", false, std::nullopt},
                      DateCase{"2024-01-15T10:30:00+01:00x", false, std::nullopt},
                      DateCase{"", false, std::nullopt}));

}  // namespace
}  // namespace salvora::cli
