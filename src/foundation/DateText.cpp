#include "foundation/DateText.h"

#include <cstdio>
#include <ctime>

namespace salvora {

std::string dateText(std::chrono::system_clock::time_point time) {
    std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr) return {};
    int hour12 = local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12;
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/%02d %02d:%02d%s", local.tm_mon + 1, local.tm_mday,
                  ((local.tm_year % 100) + 100) % 100, hour12, local.tm_min,
                  local.tm_hour < 12 ? "AM" : "PM");
    return text;
}

}  // namespace salvora
