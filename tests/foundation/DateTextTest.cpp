#include "foundation/DateText.h"

#include <gtest/gtest.h>

#include <ctime>

namespace salvora {
namespace {

std::chrono::system_clock::time_point localTime(int year, int month, int day, int hour,
                                                int minute) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

TEST(DateText, TwelveHourClockWithAmPmAfterTheMinutes) {
    EXPECT_EQ(dateText(localTime(2010, 3, 5, 14, 7)), "03/05/10 02:07PM");
    EXPECT_EQ(dateText(localTime(2010, 3, 5, 0, 30)), "03/05/10 12:30AM");
    EXPECT_EQ(dateText(localTime(2010, 3, 5, 12, 0)), "03/05/10 12:00PM");
    EXPECT_EQ(dateText(localTime(2000, 12, 31, 23, 59)), "12/31/00 11:59PM");
}

}  // namespace
}  // namespace salvora
