// The texts every export writes by hand: dates in this computer's zone with their offset, and
// JSON strings, each read back the way their readers read them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <nlohmann/json.hpp>

#include "export/JsonText.h"
#include "export/LocalDate.h"

namespace salvora {
namespace {

struct DateCase {
    EpochMillis millis;
    const char* iso;
    const char* shown;
};

void PrintTo(const DateCase& date, std::ostream* out) { *out << date.iso; }

class LocalDates : public testing::TestWithParam<DateCase> {
  protected:
    LocalDates() {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }
};

TEST_P(LocalDates, AreWrittenInTheZoneWithTheirOffset) {
    EXPECT_EQ(isoLocalDate(GetParam().millis), GetParam().iso);
    EXPECT_EQ(localDateText(GetParam().millis), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Berlin, LocalDates,
    testing::Values(DateCase{1709298309000, "2024-03-01T14:05:09+01:00", "2024-03-01 14:05 +01:00"},
                    DateCase{1719931560999, "2024-07-02T16:46:00+02:00", "2024-07-02 16:46 +02:00"},
                    // Before 1970 a date still falls in the second it is in.
                    DateCase{-1, "1970-01-01T00:59:59+01:00", "1970-01-01 00:59 +01:00"},
                    // A year of three digits keeps four; the zone's offset is shown in minutes.
                    DateCase{-30610227600000, "0999-12-31T23:53:28+00:53",
                             "0999-12-31 23:53 +00:53"}));

TEST(JsonStrings, ReadBackAsTheTextTheyWereMadeOf) {
    for (const std::string& text : {std::string("plain"), std::string("\"quoted\" \\ and /"),
                                    std::string("lines\n\ttabs\r\b\f"), std::string("\x01\x1f"),
                                    std::string("Zoë ❤️ 😂")}) {
        std::string out;
        appendJsonString(out, text);
        EXPECT_EQ(nlohmann::json::parse(out).get<std::string>(), text) << out;
    }
    // Bytes that are no UTF-8 become U+FFFD, and the file stays readable.
    std::string broken;
    appendJsonString(broken, std::string("a\xC3(b\xFF"));
    EXPECT_EQ(nlohmann::json::parse(broken).get<std::string>(), "a\uFFFD(b\uFFFD");
    std::string none;
    appendJsonStringOrNull(none, std::nullopt);
    EXPECT_EQ(none, "null");
}

}  // namespace
}  // namespace salvora
