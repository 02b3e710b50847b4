#include "support/CalendarWriter.h"

#include <string>

namespace salvora::test {
namespace {

// Seconds since 2001 of a UTC time, as SQLite computes them.
std::string at(const std::string& utc) { return "(strftime('%s', '" + utc + "') - 978307200)"; }

std::string older() {
    return R"(
CREATE TABLE Store (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, type INTEGER);
CREATE TABLE Calendar (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, store_id INTEGER, title TEXT,
    flags INTEGER, color TEXT, subcal_url TEXT, UUID TEXT);
CREATE TABLE Location (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, title TEXT, address TEXT,
    latitude REAL, longitude REAL, item_owner_id INTEGER);
CREATE TABLE CalendarItem (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, summary TEXT,
    location_id INTEGER, description TEXT, start_date REAL, start_tz TEXT, end_date REAL,
    all_day INTEGER, calendar_id INTEGER, orig_item_id INTEGER, orig_date REAL,
    organizer_id INTEGER, url TEXT, last_modified REAL, unique_identifier TEXT, UUID TEXT,
    entity_type INTEGER, end_tz TEXT);
CREATE TABLE Recurrence (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, frequency INTEGER,
    interval INTEGER, week_start INTEGER, count INTEGER, end_date REAL, specifier TEXT,
    owner_id INTEGER);
CREATE TABLE ExceptionDate (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, owner_id INTEGER, date REAL);
CREATE TABLE Alarm (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, trigger_date REAL,
    trigger_interval INTEGER, owner_id INTEGER, UUID TEXT);
CREATE TABLE Identity (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, display_name TEXT, address TEXT,
    first_name TEXT, last_name TEXT);
CREATE TABLE Participant (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, entity_type INTEGER,
    type INTEGER, status INTEGER, role INTEGER, identity_id INTEGER, owner_id INTEGER,
    email TEXT, is_self INTEGER);
INSERT INTO Store (ROWID, name, type) VALUES (1, 'Default', 0), (2, 'Birthdays', 5),
    (3, 'Other', 4);
INSERT INTO Calendar (ROWID, store_id, title, color, subcal_url) VALUES
    (1, 1, 'Home', '#1BADF8', NULL), (3, 2, 'Birthdays', '#8295AF', NULL),
    (4, 3, 'US Holidays', '#CC73E1', 'https://calendars.icloud.com/holidays/us_en.ics');
INSERT INTO Location (ROWID, title, address, latitude, longitude) VALUES
    (1, 'Studio Köln', 'Hauptstraße 1, 50667 Köln', 50.9375, 6.9603);
INSERT INTO CalendarItem (ROWID, summary, location_id, description, start_date, start_tz,
    end_date, all_day, calendar_id, orig_item_id, orig_date, last_modified, unique_identifier,
    entity_type, end_tz) VALUES
    (1, 'Yoga 🧘 mit Jürgen', 1, NULL, )" +
           at("2024-03-04 17:00:00") + R"(, 'Europe/Berlin', )" + at("2024-03-04 18:00:00") +
           R"(, 0, 1, 0, NULL, )" + at("2024-02-01 10:00:00") + R"(,
     'yoga-weekly@example.org', 2, 'Europe/Berlin'),
    (2, 'Yoga (verschoben)', 1, NULL, )" +
           at("2024-03-12 18:00:00") + R"(, 'Europe/Berlin', )" + at("2024-03-12 19:00:00") +
           R"(, 0, 1, 1, )" + at("2024-03-11 17:00:00") + R"(, NULL,
     'yoga-moved@example.org', 2, 'Europe/Berlin'),
    (3, 'Urlaub', NULL, NULL, )" +
           at("2024-07-01 00:00:00") + R"(, '_float', )" + at("2024-07-03 23:59:59") +
           R"(, 1, 1, 0, NULL, NULL, 'urlaub@example.org', 2, '_float'),
    (6, 'Ada Lovelace', NULL, NULL, )" +
           at("1815-12-10 00:00:00") + R"(, '_float', )" + at("1815-12-10 23:59:59") +
           R"(, 1, 3, 0, NULL, NULL, 'birthday-ada', 2, '_float'),
    (7, 'Independence Day', NULL, NULL, )" +
           at("2024-07-04 00:00:00") + R"(, '_float', )" + at("2024-07-05 00:00:00") +
           R"(, 1, 4, 0, NULL, NULL, 'us-2024-07-04', 2, '_float'),
    (8, 'A reminder, not an event', NULL, NULL, )" +
           at("2024-03-01 09:00:00") + R"(, '_float',
     NULL, 0, 1, 0, NULL, NULL, 'reminder', 3, NULL);
INSERT INTO Recurrence (frequency, interval, count, end_date, specifier, owner_id) VALUES
    (2, 1, 10, NULL, 'D=0MO', 1), (4, 1, 0, NULL, 'M=10;O=12', 6);
INSERT INTO ExceptionDate (owner_id, date) VALUES (1, )" +
           at("2024-03-18 17:00:00") + R"();
INSERT INTO Alarm (trigger_date, trigger_interval, owner_id) VALUES (NULL, -900, 1);
INSERT INTO Identity (ROWID, display_name, address) VALUES
    (1, 'Ada Lovelace', 'mailto:ada@example.org');
)";
}

std::string newer() {
    return R"(
INSERT INTO Calendar (ROWID, store_id, title, color) VALUES (2, 1, 'Büro', '#FF2968');
INSERT INTO CalendarItem (ROWID, summary, location_id, description, start_date, start_tz,
    end_date, all_day, calendar_id, orig_item_id, url, unique_identifier, entity_type, end_tz)
    VALUES
    (4, 'Call with New York', NULL, 'Agenda; first, the plan' || char(10) || 'then the rest', )" +
           at("2024-05-02 13:00:00") + R"(, 'America/New_York', )" + at("2024-05-02 14:00:00") +
           R"(, 0, 1, 0, 'https://example.org/call', 'call-ny@example.org', 2, 'America/New_York'),
    (5, 'Floating', NULL, NULL, )" +
           at("2024-04-10 08:30:00") + R"(, '_float', )" + at("2024-04-10 09:00:00") +
           R"(, 0, 2, 0, NULL, 'floating@example.org', 2, '_float');
INSERT INTO Alarm (trigger_date, trigger_interval, owner_id) VALUES
    ()" + at("2024-05-01 12:00:00") +
           R"(, 0, 4);
INSERT INTO Participant (entity_type, type, status, role, identity_id, owner_id, email)
    VALUES (7, 1, 2, 1, 1, 1, NULL);
)";
}

}  // namespace

void writeCalendarDatabase(JournalMode journal, const HomeFileAdder& addFile) {
    addDatabaseFiles("Library/Calendar/Calendar.sqlitedb", databaseFiles(journal, older(), newer()),
                     addFile);
}

}  // namespace salvora::test
