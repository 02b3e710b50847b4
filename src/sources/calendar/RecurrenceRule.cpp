#include "sources/calendar/RecurrenceRule.h"

#include <type_traits>
#include <vector>

namespace salvora {
namespace {

template <typename T>
void appendList(std::string& rule, std::string_view name, const std::vector<T>& values) {
    if (values.empty()) return;
    rule.append(";").append(name).append("=");
    for (std::size_t index = 0; index < values.size(); ++index) {
        if (index > 0) rule += ',';
        if constexpr (std::is_same_v<T, std::string>)
            rule += values[index];
        else
            rule += std::to_string(values[index]);
    }
}

}  // namespace

std::string rruleOf(const Recurrence& recurrence, std::string_view until) {
    static constexpr std::string_view frequencies[] = {"DAILY", "WEEKLY", "MONTHLY", "YEARLY"};
    std::string rule = "FREQ=" + std::string(frequencies[static_cast<int>(recurrence.frequency)]);
    if (recurrence.interval > 1) rule += ";INTERVAL=" + std::to_string(recurrence.interval);
    if (recurrence.count)
        rule += ";COUNT=" + std::to_string(*recurrence.count);
    else if (!until.empty())
        rule.append(";UNTIL=").append(until);
    appendList(rule, "BYMONTH", recurrence.byMonth);
    appendList(rule, "BYMONTHDAY", recurrence.byMonthDay);
    appendList(rule, "BYDAY", recurrence.byDay);
    appendList(rule, "BYSETPOS", recurrence.bySetPosition);
    return rule;
}

}  // namespace salvora
