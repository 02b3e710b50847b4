// The calendars as other programs will read them: salvora-cli calendar read back by an
// iCalendar parser of its own, from plain and encrypted backups whose newest events are only in
// the -wal.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support/BackupWriter.h"
#include "support/CalendarWriter.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ProcessRun.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

using nlohmann::json;

test::ProcessResult salvoraCli(const std::vector<std::string>& args) {
    return test::runProcess(SALVORA_CLI_PATH, args);
}

json readBack(const std::string& destination) {
    const auto read = test::runProcess("/usr/bin/python3", {READ_CALENDARS_SCRIPT, destination});
    EXPECT_EQ(read.status, 0) << read.err;
    return json::parse(read.out);
}

const json& eventOf(const json& calendar, const std::string& summary) {
    for (const json& event : calendar["events"])
        if (event["summary"] == summary) return event;
    ADD_FAILURE() << "no event " << summary << " in " << calendar.dump();
    static const json none = json::object();
    return none;
}

class CalendarExport : public ::testing::TestWithParam<bool> {
  protected:
    CalendarExport() {
        test::writeCalendarDatabase(test::JournalMode::WalWithLog,
                                    [&](const std::string& path, const std::string& contents) {
                                        if (GetParam())
                                            encrypted.addFile("HomeDomain", path, contents);
                                        else
                                            plain.addManifestDbFile("HomeDomain", path, contents);
                                    });
        test::writeFile(folder / "password", encrypted.keybag().password);
    }

    test::ProcessResult run(std::vector<std::string> more) const {
        std::vector<std::string> all = {"calendar", backup(), destination};
        if (GetParam()) all.insert(all.end(), {"--password-file", folder / "password"});
        all.insert(all.end(), more.begin(), more.end());
        return salvoraCli(all);
    }
    std::string backup() const { return GetParam() ? encrypted.folder() : plain.folder(); }

    test::TemporaryFolder folder;
    test::BackupWriter plain{folder / "plain"};
    test::EncryptedBackup encrypted{folder / "encrypted"};
    std::string destination = folder / "dest";
};

TEST_P(CalendarExport, WritesEachCalendarAsAnICalendarFileOtherProgramsRead) {
    const auto before = test::folderSnapshot(backup());
    const auto exported = run({});
    ASSERT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.err, "");
    EXPECT_NE(exported.out.find("2 calendars, 5 events, 2 birthday or holiday calendars left out"),
              std::string::npos)
        << exported.out;
    EXPECT_EQ(test::folderSnapshot(backup()), before);

    const json found = readBack(destination);
    ASSERT_EQ(found.size(), 2u) << found.dump();
    const json& home = found["Home.ics"];
    EXPECT_EQ(home["name"], "Home");
    EXPECT_EQ(home["version"], "2.0");
    EXPECT_EQ(home["zones"], json({"America/New_York", "Europe/Berlin"}));

    // Weekly, one occurrence deleted and one moved: the times as the file's own zone rules give
    // them.
    const json& yoga = eventOf(home, "Yoga 🧘 mit Jürgen");
    EXPECT_EQ(yoga["uid"], "yoga-weekly@example.org");
    EXPECT_TRUE(yoga["dtstamp"]);
    EXPECT_EQ(yoga["start"], json({{"zone", "Europe/Berlin"},
                                   {"local", "2024-03-04T18:00:00"},
                                   {"utc", "2024-03-04T17:00:00+00:00"}}));
    EXPECT_EQ(yoga["rrule"], "FREQ=WEEKLY;COUNT=10;BYDAY=MO");
    ASSERT_EQ(yoga["exdate"].size(), 1u);
    EXPECT_EQ(yoga["exdate"][0]["utc"], "2024-03-18T17:00:00+00:00");
    EXPECT_EQ(yoga["location"], "Studio Köln\nHauptstraße 1, 50667 Köln");
    EXPECT_EQ(yoga["geo"], json({50.9375, 6.9603}));
    EXPECT_EQ(yoga["alarms"], json({"-PT15M"}));
    EXPECT_EQ(yoga["attendees"], json({{"ATTENDEE", "mailto:ada@example.org", "Ada Lovelace",
                                        "ACCEPTED", "REQ-PARTICIPANT"}}));
    const json& moved = eventOf(home, "Yoga (verschoben)");
    EXPECT_EQ(moved["uid"], "yoga-weekly@example.org");
    EXPECT_EQ(moved["recurrence_id"]["utc"], "2024-03-11T17:00:00+00:00");
    EXPECT_EQ(moved["start"]["local"], "2024-03-12T19:00:00");
    EXPECT_FALSE(moved.contains("rrule"));

    const json& holiday = eventOf(home, "Urlaub");
    EXPECT_EQ(holiday["start"], json({{"zone", "date"}, {"local", "2024-07-01"}}));
    EXPECT_EQ(holiday["end"], json({{"zone", "date"}, {"local", "2024-07-04"}}));

    // In another zone, summer time there; only in the -wal.
    const json& call = eventOf(home, "Call with New York");
    EXPECT_EQ(call["start"], json({{"zone", "America/New_York"},
                                   {"local", "2024-05-02T09:00:00"},
                                   {"utc", "2024-05-02T13:00:00+00:00"}}));
    EXPECT_EQ(call["end"]["utc"], "2024-05-02T14:00:00+00:00");
    EXPECT_EQ(call["description"], "Agenda; first, the plan\nthen the rest");
    EXPECT_EQ(call["url"], "https://example.org/call");
    EXPECT_EQ(call["alarms"], json({"20240501T120000Z"}));
    EXPECT_EQ(home["events"].size(), 4u) << "no reminder among the events";

    const json& office = found["Büro.ics"];
    EXPECT_EQ(eventOf(office, "Floating")["start"],
              json({{"zone", "floating"}, {"local", "2024-04-10T08:30:00"}}));
    EXPECT_EQ(office["zones"], json::array());

    // With --all the phone's own calendars too; the earlier export replaced whole.
    const auto all = run({"--all"});
    ASSERT_EQ(all.status, 0) << all.err;
    const json everything = readBack(destination);
    ASSERT_EQ(everything.size(), 4u) << everything.dump();
    const json& birthday = eventOf(everything["Birthdays.ics"], "Ada Lovelace");
    EXPECT_EQ(birthday["start"]["local"], "1815-12-10");
    EXPECT_EQ(birthday["rrule"], "FREQ=YEARLY;BYMONTHDAY=10;BYMONTH=12");
    EXPECT_EQ(everything["US Holidays.ics"]["events"].size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Calendars, CalendarExport, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Encrypted" : "Plain"; });

struct Schema {
    const char* name;
    const char* sql;
    int status;
    const char* said;  // on standard error
    std::vector<std::string> files;
};

class CalendarExportOfAnUnusualDatabase : public ::testing::TestWithParam<Schema> {};

TEST_P(CalendarExportOfAnUnusualDatabase, ExportsWhatItCanReadAndSaysWhatItCouldNot) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    test::addDatabaseFiles("Library/Calendar/Calendar.sqlitedb",
                           test::databaseFiles(test::JournalMode::Rollback, GetParam().sql, ""),
                           [&](const std::string& path, const std::string& contents) {
                               backup.addManifestDbFile("HomeDomain", path, contents);
                           });
    const auto run = salvoraCli({"calendar", backup.folder(), folder / "dest"});
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_NE(run.err.find(GetParam().said), std::string::npos) << run.err;
    if (GetParam().files.empty()) return;
    const json found = readBack(folder / "dest");
    std::vector<std::string> names;
    for (const auto& [name, calendar] : found.items()) names.push_back(name);
    EXPECT_EQ(names, GetParam().files);
}

INSTANTIATE_TEST_SUITE_P(
    Calendars, CalendarExportOfAnUnusualDatabase,
    ::testing::Values(
        Schema{"NoEvents", "CREATE TABLE Calendar (title TEXT);", 2, "no table CalendarItem", {}},
        Schema{"FewColumns",
               "CREATE TABLE CalendarItem (summary TEXT, start_date REAL, calendar_id INTEGER);"
               "INSERT INTO CalendarItem VALUES ('Dentist', 700000000, 1), ('No start', NULL, 1);"
               "CREATE TABLE Recurrence (owner_id INTEGER);",
               0, "Left out 1 event without a start", {"Calendar 1.ics"}}),
    [](const auto& info) { return info.param.name; });

TEST(CalendarExportWithoutCalendars, SaysSoAndWritesNothing) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("HomeDomain", "Library/Preferences/a.plist", "x");
    const auto run = salvoraCli({"calendar", backup.folder(), folder / "dest"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no calendars"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "dest"));
}

}  // namespace
}  // namespace salvora
