#pragma once

// The phone's calendars, "Library/Calendar/Calendar.sqlitedb", added as `addFile(path,
// contents)` of HomeDomain.
#include "support/WalDatabase.h"

namespace salvora::test {

// The calendars, in ROWID order:
// 1 "Home": "Yoga 🧘 mit Jürgen" on Mondays 18:00 in Europe/Berlin, 10 times, from 2024-03-04,
//   at "Studio Köln" with its place on the map, an alarm 15 minutes before and Ada as an
//   accepted attendee; its occurrence of 2024-03-18 deleted, that of 2024-03-11 moved to
//   2024-03-12 19:00 ("Yoga (verschoben)"). "Urlaub", all day from 2024-07-01 to 2024-07-03.
//   "Call with New York", 2024-05-02 09:00 to 10:00 in America/New_York, a description of two
//   lines with ";" and ",", a URL and an alarm at 2024-05-01 12:00 UTC.
// 2 "Büro": "Floating" on 2024-04-10 08:30 to 09:00 in no zone.
// 3 "Birthdays", the phone's own: "Ada Lovelace" every 10 December, all day.
// 4 "US Holidays", subscribed from Apple's holidays: "Independence Day" on 2024-07-04.
// With WalWithLog, "Büro" and its event, "Call with New York" and the attendee are only in the
// "-wal".
void writeCalendarDatabase(JournalMode journal, const HomeFileAdder& addFile);

}  // namespace salvora::test
