// salvora-cli calls as a user runs it, read back by Python's csv module and an HTML parser of
// its own: the store and the older database, in plain and encrypted backups whose newest calls
// are only in the -wal, named from the backup's address book.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/AddressBookWriter.h"
#include "support/BackupWriter.h"
#include "support/CallHistoryWriter.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/ProcessRun.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

using Rows = std::vector<std::vector<std::string>>;

test::ProcessResult salvoraCli(const std::vector<std::string>& args) {
    return test::runProcess(SALVORA_CLI_PATH, args);
}

nlohmann::json readBack(const std::string& destination) {
    const auto read = test::runProcess("/usr/bin/python3", {READ_CALLS_SCRIPT, destination});
    EXPECT_EQ(read.status, 0) << read.err;
    return nlohmann::json::parse(read.out);
}

const Rows storeCsv = {
    {"Date", "Name", "Number", "Direction", "Answered", "Duration (seconds)", "Service", "Country"},
    {"2024-03-01T11:00:00+01:00", "Ada King Lovelace", "01511234567", "incoming", "answered",
     "125", "Phone", "de"},
    {"2024-03-01T12:00:00+01:00", "Ada King Lovelace", "ada@example.org", "outgoing", "answered",
     "3725", "FaceTime Video", ""},
    {"2024-03-01T13:00:00+01:00", "<b>Bob & \"Co\"</b>", "+44 20 7946 0001", "incoming", "missed",
     "0", "Phone", "gb"},
    {"2024-07-03T11:46:40+02:00", "Smith, John", "+1 202 555 0147", "outgoing", "not answered",
     "0", "net.whatsapp.WhatsApp", "us"},
    {"2024-07-03T12:46:40+02:00", "Café Zoë GmbH", "+49 221 555000", "incoming", "answered", "60",
     "FaceTime Audio", ""}};

const Rows storeHtml = {
    {"Date", "Name", "Direction", "Missed", "Length", "Service"},
    {"2024-07-03 12:46 +02:00", "Café Zoë GmbH", "incoming", "", "0:01:00", "FaceTime Audio"},
    {"2024-07-03 11:46 +02:00", "Smith, John", "outgoing", "not answered", "0:00:00",
     "net.whatsapp.WhatsApp"},
    {"2024-03-01 13:00 +01:00", "<b>Bob & \"Co\"</b>", "incoming", "missed", "0:00:00", "Phone"},
    {"2024-03-01 12:00 +01:00", "Ada King Lovelace", "outgoing", "", "1:02:05", "FaceTime Video"},
    {"2024-03-01 11:00 +01:00", "Ada King Lovelace", "incoming", "", "0:02:05", "Phone"}};

const Rows olderCsv = {
    storeCsv[0],
    {"2011-03-13T08:06:40+01:00", "Ada King Lovelace", "+49 151 1234567", "outgoing", "answered",
     "60", "Phone", ""},
    {"2011-03-13T09:06:40+01:00", "Café Zoë GmbH", "0221 555000", "incoming", "missed", "0",
     "Phone", ""}};

const Rows olderHtml = {
    storeHtml[0],
    {"2011-03-13 09:06 +01:00", "Café Zoë GmbH", "incoming", "missed", "0:00:00", "Phone"},
    {"2011-03-13 08:06 +01:00", "Ada King Lovelace", "outgoing", "", "0:01:00", "Phone"}};

struct Fixture {
    bool encrypted;
    bool older;  // call_history.db instead of the store
};

class CallsExport : public ::testing::TestWithParam<Fixture> {
  protected:
    CallsExport() {
        auto add = [&](const std::string& path, const std::string& contents) {
            if (GetParam().encrypted) encrypted.addFile("HomeDomain", path, contents);
            else plain.addManifestDbFile("HomeDomain", path, contents);
        };
        test::writeAddressBook(test::JournalMode::WalWithLog, add, false);
        if (GetParam().older) test::writeOlderCallHistory(add);
        else test::writeCallHistoryStore(test::JournalMode::WalWithLog, add);
        test::writeFile(folder / "password", encrypted.keybag().password);
    }

    std::vector<std::string> args(std::vector<std::string> given) const {
        std::vector<std::string> all = {"calls", backup()};
        all.insert(all.end(), given.begin(), given.end());
        if (GetParam().encrypted) all.insert(all.end(), {"--password-file", folder / "password"});
        return all;
    }
    std::string backup() const { return GetParam().encrypted ? encrypted.folder() : plain.folder(); }

    test::TemporaryFolder folder;
    test::BackupWriter plain{folder / "plain"};
    test::EncryptedBackup encrypted{folder / "encrypted"};
    std::string destination = folder / "dest";
};

TEST_P(CallsExport, WritesEveryCallAsARowAndNewestFirstOnAPageAndAsJson) {
    const Rows& csv = GetParam().older ? olderCsv : storeCsv;
    const Rows& html = GetParam().older ? olderHtml : storeHtml;
    const auto before = test::folderSnapshot(backup());
    const auto run = salvoraCli(args({destination}));
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out, "Exported " + std::to_string(csv.size() - 1) + " calls, 0 failed\n");

    const nlohmann::json found = readBack(destination);
    EXPECT_EQ(found["csv"], nlohmann::json(csv));
    EXPECT_EQ(found["html"], nlohmann::json(html));

    const auto json = salvoraCli(args({"--json"}));
    ASSERT_EQ(json.status, 0) << json.err;
    const nlohmann::json calls = nlohmann::json::parse(json.out)["calls"];
    ASSERT_EQ(calls.size(), csv.size() - 1);
    for (std::size_t index = 0; index < calls.size(); ++index) {
        const auto& row = csv[index + 1];
        EXPECT_EQ(calls[index]["date"], row[0]);
        EXPECT_EQ(calls[index]["name"], row[1]);
        EXPECT_EQ(calls[index]["number"], row[2]);
        EXPECT_EQ(calls[index]["answered"], row[4] == "answered");
        EXPECT_EQ(calls[index]["service"], row[6]);
        EXPECT_EQ(calls[index]["country"], row[7].empty() ? nlohmann::json() : nlohmann::json(row[7]));
    }

    // Again: the earlier export is replaced, nothing of it kept beside the new one.
    test::writeFile(destination + "/calls.csv", "stale");
    ASSERT_EQ(salvoraCli(args({destination})).status, 0);
    EXPECT_EQ(readBack(destination)["csv"], nlohmann::json(csv));
    EXPECT_EQ(test::folderSnapshot(backup()), before);
}

INSTANTIATE_TEST_SUITE_P(Calls, CallsExport,
                         ::testing::Values(Fixture{false, false}, Fixture{true, false},
                                           Fixture{false, true}, Fixture{true, true}),
                         [](const auto& info) {
                             return std::string(info.param.encrypted ? "Encrypted" : "Plain") +
                                    (info.param.older ? "CallHistoryDb" : "Store");
                         });

struct Damage {
    const char* name;
    std::string store;  // the bytes of CallHistory.storedata
    bool older;         // with call_history.db beside it
    int status;
    const char* said;  // on standard error
};

class DamagedCallHistory : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedCallHistory, ExportsWhatCanBeReadAndSaysWhy) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    const auto add = [&](const std::string& path, const std::string& contents) {
        backup.addManifestDbFile("HomeDomain", path, contents);
    };
    add("Library/CallHistoryDB/CallHistory.storedata", GetParam().store);
    if (GetParam().older) test::writeOlderCallHistory(add);
    const auto run = salvoraCli({"calls", backup.folder(), folder / "dest"});
    EXPECT_EQ(run.status, GetParam().status) << run.err;
    EXPECT_NE(run.err.find(GetParam().said), std::string::npos) << run.err;
    EXPECT_EQ(std::filesystem::exists(folder / "dest/calls.csv"), GetParam().status == 0);
}

INSTANTIATE_TEST_SUITE_P(
    Calls, DamagedCallHistory,
    ::testing::Values(
        Damage{"UnknownTables",
               test::databaseFiles(test::JournalMode::Rollback, "CREATE TABLE t (a);", "").main,
               false, 2, "it has no table ZCALLRECORD or call"},
        Damage{"NotADatabaseBesideTheOlder", "not a database", true, 0,
               "Left out Library/CallHistoryDB/CallHistory.storedata"},
        Damage{"FewColumns",
               test::databaseFiles(test::JournalMode::Rollback,
                                   "CREATE TABLE ZCALLRECORD (Z_PK INTEGER PRIMARY KEY, ZDATE);"
                                   "INSERT INTO ZCALLRECORD VALUES (1, 730980000);",
                                   "")
                   .main,
               false, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CallsExportWithoutCallHistory, SaysSoAndWritesNothing) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("HomeDomain", "Library/Preferences/a.plist", "x");
    const auto run = salvoraCli({"calls", backup.folder(), folder / "dest"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no call history"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(folder / "dest"));
}

}  // namespace
}  // namespace salvora
