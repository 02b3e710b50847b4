#pragma once

// A repeat as an RRULE value: "FREQ=WEEKLY;INTERVAL=2;BYDAY=MO,WE;UNTIL=20240630T220000Z".
#include <string>
#include <string_view>

#include "sources/calendar/CalendarDatabase.h"

namespace salvora {

// `until`: the rule's end in the form of the event's start (a DATE, a floating time or UTC),
// empty when it has none.
std::string rruleOf(const Recurrence& recurrence, std::string_view until);

}  // namespace salvora
