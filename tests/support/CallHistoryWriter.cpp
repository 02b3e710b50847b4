#include "support/CallHistoryWriter.h"

namespace salvora::test {
namespace {

const std::string schema = R"(
CREATE TABLE ZCALLRECORD (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, Z_OPT INTEGER,
    ZANSWERED INTEGER, ZCALLTYPE INTEGER, ZDISCONNECTED_CAUSE INTEGER, ZFACE_TIME_DATA BLOB,
    ZNUMBER_AVAILABILITY INTEGER, ZORIGINATED INTEGER, ZREAD INTEGER, ZDATE TIMESTAMP,
    ZDURATION FLOAT, ZADDRESS VARCHAR, ZDEVICE_ID VARCHAR, ZISO_COUNTRY_CODE VARCHAR,
    ZNAME VARCHAR, ZSERVICE_PROVIDER VARCHAR, ZUNIQUE_ID VARCHAR);
CREATE TABLE Z_PRIMARYKEY (Z_ENT INTEGER PRIMARY KEY, Z_NAME VARCHAR, Z_SUPER INTEGER,
    Z_MAX INTEGER);
INSERT INTO Z_PRIMARYKEY VALUES (1, 'CallRecord', 0, 5);
)";

const std::string store = schema + R"(
INSERT INTO ZCALLRECORD (Z_PK, Z_ENT, Z_OPT, ZANSWERED, ZCALLTYPE, ZORIGINATED, ZDATE, ZDURATION,
    ZADDRESS, ZISO_COUNTRY_CODE, ZNAME, ZSERVICE_PROVIDER) VALUES
    (1, 1, 1, 1, 1, 0, 730980000, 125.4, '01511234567', 'de', NULL, 'com.apple.Telephony'),
    (2, 1, 1, 1, 8, 1, 730983600, 3725, 'ada@example.org', NULL, NULL, 'com.apple.FaceTime'),
    (3, 1, 1, 0, 1, 0, 730987200, 0, CAST('+44 20 7946 0001' AS BLOB), 'gb',
     '<b>Bob & "Co"</b>', 'com.apple.Telephony');
)";

const std::string newerCalls = R"(
INSERT INTO ZCALLRECORD (Z_PK, Z_ENT, Z_OPT, ZANSWERED, ZCALLTYPE, ZORIGINATED, ZDATE, ZDURATION,
    ZADDRESS, ZISO_COUNTRY_CODE, ZNAME, ZSERVICE_PROVIDER) VALUES
    (4, 1, 1, 0, 1, 1, 741692800, 0, '+1 202 555 0147', 'us', 'Smith, John',
     'net.whatsapp.WhatsApp'),
    (5, 1, 1, 1, 16, 0, 741696400, 59.6, '+49 221 555000', NULL, NULL, 'com.apple.FaceTime');
)";

void addDatabase(const std::string& path, const DatabaseFiles& files, const HomeFileAdder& addFile) {
    addFile(path, files.main);
    if (files.wal) addFile(path + "-wal", *files.wal);
}

}  // namespace

void writeCallHistoryStore(JournalMode journal, const HomeFileAdder& addFile) {
    addDatabase("Library/CallHistoryDB/CallHistory.storedata",
                databaseFiles(journal, store, newerCalls), addFile);
}

void writeOlderCallHistory(const HomeFileAdder& addFile) {
    addDatabase("Library/CallHistory/call_history.db",
                databaseFiles(JournalMode::Rollback,
                              "CREATE TABLE call (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, "
                              "address TEXT, date INTEGER, duration INTEGER, flags INTEGER, "
                              "id INTEGER);"
                              "INSERT INTO call (address, date, duration, flags, id) VALUES "
                              "('+49 151 1234567', 1300000000, 60, 5, -1), "
                              "('0221 555000', 1300003600, 0, 4, -1);",
                              ""),
                addFile);
}

std::string callHistoryStoreBytes() { return databaseFiles(JournalMode::Wal, store, newerCalls).main; }

std::string largeCallHistoryStore(std::size_t calls) {
    const std::string rows =
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
        std::to_string(calls) +
        ") INSERT INTO ZCALLRECORD (Z_ENT, Z_OPT, ZANSWERED, ZCALLTYPE, ZORIGINATED, ZDATE, "
        "ZDURATION, ZADDRESS, ZISO_COUNTRY_CODE, ZNAME, ZSERVICE_PROVIDER) SELECT 1, 1, i % 3 != 0, "
        "1, i % 2, 400000000 + i * 1800, (i % 600) * 1.5, printf('+49 151 %07d', i % 2000), 'de', "
        "CASE WHEN i % 5 = 0 THEN 'Caller ' || (i % 2000) END, 'com.apple.Telephony' FROM n;";
    return databaseFiles(JournalMode::Wal, schema + rows, "").main;
}

}  // namespace salvora::test
