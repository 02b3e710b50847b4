#include "support/ChatStorageWriter.h"

#include <vector>

#include "support/WalDatabase.h"

namespace salvora::test {

const char* const chatStorageSchema =
    "CREATE TABLE ZWACHATSESSION (Z_PK INTEGER PRIMARY KEY, Z_ENT INTEGER, ZCONTACTJID VARCHAR, "
    "ZPARTNERNAME VARCHAR, ZSESSIONTYPE INTEGER, ZLASTMESSAGEDATE TIMESTAMP, ZARCHIVED INTEGER);"
    "CREATE TABLE ZWAGROUPMEMBER (Z_PK INTEGER PRIMARY KEY, ZCHATSESSION INTEGER, "
    "ZMEMBERJID VARCHAR, ZCONTACTNAME VARCHAR);"
    "CREATE TABLE ZWAMEDIAITEM (Z_PK INTEGER PRIMARY KEY, ZMEDIALOCALPATH VARCHAR, "
    "ZTITLE VARCHAR, ZLATITUDE FLOAT, ZLONGITUDE FLOAT, ZVCARDSTRING VARCHAR);"
    "CREATE TABLE ZWAMESSAGE (Z_PK INTEGER PRIMARY KEY, ZCHATSESSION INTEGER, ZISFROMME INTEGER, "
    "ZFROMJID VARCHAR, ZTEXT VARCHAR, ZMESSAGEDATE TIMESTAMP, ZMESSAGETYPE INTEGER, "
    "ZGROUPMEMBER INTEGER, ZPUSHNAME VARCHAR, ZMEDIAITEM INTEGER, ZPARENTMESSAGE INTEGER);"
    // Core Data's index of the relation, by which a chat's messages are read.
    "CREATE INDEX ZWAMESSAGE_ZCHATSESSION_INDEX ON ZWAMESSAGE (ZCHATSESSION);";

namespace {

// Seconds since 2001-01-01 UTC of the first message: 2023-03-07.
constexpr int start = 700000000;

const std::string ada = "'4915112345678@s.whatsapp.net'";
const std::string family = "'4915187654321-1600000000@g.us'";
const std::string mediaFolder = "Media/4915112345678@s.whatsapp.net/a/b/";

struct Row {
    int key, chat, fromMe;
    std::string from, text;
    int type;
    std::string member = "NULL", pushName = "NULL", media = "NULL", parent = "NULL";
};

std::string insert(const Row& row) {
    return "INSERT INTO ZWAMESSAGE VALUES (" + std::to_string(row.key) + ", " +
           std::to_string(row.chat) + ", " + std::to_string(row.fromMe) + ", " + row.from + ", " +
           row.text + ", " + std::to_string(start + row.key * 60) + ".25, " +
           std::to_string(row.type) + ", " + row.member + ", " + row.pushName + ", " + row.media +
           ", " + row.parent + ");";
}

std::string insertAll(const std::vector<Row>& rows) {
    std::string sql;
    for (const Row& row : rows) sql += insert(row);
    return sql;
}

std::string olderSql() {
    std::string sql =
        std::string("BEGIN;") + chatStorageSchema + "INSERT INTO ZWACHATSESSION VALUES (1, 5, " +
        ada +
        ", 'Ada Lovelace', 0, 700001000, 0);"
        "INSERT INTO ZWACHATSESSION VALUES (2, 5, " +
        family +
        ", 'Family', 1, 700002000, 1);"
        "INSERT INTO ZWACHATSESSION VALUES (3, 5, 'status@broadcast', NULL, 3, "
        "700003000, 0);"
        "INSERT INTO ZWAGROUPMEMBER VALUES (1, 2, '4917611111111@s.whatsapp.net', NULL);"
        "INSERT INTO ZWAGROUPMEMBER VALUES (2, 2, '1234567890@lid', 'Alan Turing');"
        "INSERT INTO ZWAMEDIAITEM VALUES (1, '" +
        mediaFolder +
        "photo.jpg', 'Beach', NULL, NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (2, 'Message/" +
        mediaFolder +
        "video.mp4', NULL, NULL, NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (3, 'Message/" +
        mediaFolder +
        "voice.opus', NULL, NULL, NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (4, NULL, NULL, NULL, NULL, "
        "'BEGIN:VCARD' || char(13, 10) || 'VERSION:3.0' || char(13, 10) || "
        "'N:Babbage;Charles;;;' || char(13, 10) || 'FN:Charles' || char(13, 10) || "
        "'  Babbage' || char(13, 10) || 'END:VCARD');"
        "INSERT INTO ZWAMEDIAITEM VALUES (5, NULL, 'Royal Society', 51.5065, -0.1320, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (6, '/Message/" +
        mediaFolder +
        "report.pdf', 'Report.pdf', NULL, NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (7, 'Message/" +
        mediaFolder +
        "dance.mp4', NULL, NULL, NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (8, 'Message/" +
        mediaFolder +
        "sticker.webp', NULL, NULL, NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (9, '../../../etc/passwd', NULL, NULL, "
        "NULL, NULL);"
        "INSERT INTO ZWAMEDIAITEM VALUES (10, 'Message/Media/status/s.jpg', NULL, "
        "NULL, NULL, NULL);";
    sql += insertAll({
        {1, 1, 0, ada, "'Hello'", 0},
        {2, 1, 1, "NULL", "'Hi Ada'", 0, "NULL", "NULL", "NULL", "1"},
        {3, 1, 0, ada, "NULL", 1, "NULL", "NULL", "1"},
        {4, 1, 0, ada, "NULL", 2, "NULL", "NULL", "2"},
        {5, 1, 0, ada, "NULL", 3, "NULL", "NULL", "3"},
        {6, 1, 0, ada, "'Charles'", 4, "NULL", "NULL", "4"},
        {7, 1, 0, ada, "NULL", 5, "NULL", "NULL", "5"},
        {8, 1, 1, "NULL", "'https://example.org'", 7},
        {9, 1, 0, ada, "NULL", 8, "NULL", "NULL", "6"},
        {10, 1, 0, ada, "NULL", 11, "NULL", "NULL", "7"},
        {11, 1, 0, ada, "NULL", 15, "NULL", "NULL", "8"},
        {12, 1, 1, "NULL", "'Lunch?'", 46},
        {13, 1, 0, ada, "NULL", 59},
        {14, 1, 0, ada, "NULL", 14},
        {15, 1, 0, ada, "'odd'", 99},
        {16, 1, 0, ada, "NULL", 1, "NULL", "NULL", "9"},
        {20, 2, 0, family, "'Ada created the group'", 10},
        {21, 2, 0, family, "'Hi all'", 0, "1", "'Grace'"},
        {22, 2, 0, family, "'Hello from Alan'", 0, "2", "'alan'"},
        {30, 3, 0, ada, "'My status'", 1, "NULL", "NULL", "10"},
    });
    return sql + "COMMIT;";
}

std::string newerSql() {
    return "BEGIN;INSERT INTO ZWACHATSESSION VALUES (4, 5, '4917000000001@s.whatsapp.net', "
           "'Ada Lovelace', 0, 700004000, 0);" +
           insertAll({
               {23, 2, 1, "NULL", "'Hi Grace'", 0, "NULL", "NULL", "NULL", "21"},
               {40, 4, 0, "'4917000000001@s.whatsapp.net'", "'Other Ada here'", 0},
           }) +
           "COMMIT;";
}

std::string callHistorySql() {
    return "CREATE TABLE ZWACDCALLEVENT (Z_PK INTEGER PRIMARY KEY, ZDATE TIMESTAMP, "
           "ZDURATION FLOAT, ZVIDEO INTEGER, ZOUTCOME INTEGER);"
           "CREATE TABLE ZWACDCALLEVENTPARTICIPANT (Z_PK INTEGER PRIMARY KEY, ZCALLEVENT INTEGER, "
           "ZJIDSTRING VARCHAR);"
           "INSERT INTO ZWACDCALLEVENT VALUES (1, " +
           std::to_string(start + 90) +
           ", 0, 0, 1);"
           "INSERT INTO ZWACDCALLEVENT VALUES (2, " +
           std::to_string(start + 17 * 60) +
           ", 185, 1, 0);"
           "INSERT INTO ZWACDCALLEVENT VALUES (3, " +
           std::to_string(start + 18 * 60) +
           ", 42, 0, 0);"
           "INSERT INTO ZWACDCALLEVENTPARTICIPANT VALUES (1, 1, " +
           ada +
           ");"
           "INSERT INTO ZWACDCALLEVENTPARTICIPANT VALUES (2, 2, " +
           ada +
           ");"
           "INSERT INTO ZWACDCALLEVENTPARTICIPANT VALUES (3, 3, '4915550000000@s.whatsapp.net');";
}

}  // namespace

void writeWhatsAppContainer(const ContainerFileAdder& addFile) {
    addFile("Message/" + mediaFolder + "photo.jpg", whatsAppPhotoBytes);
    addFile("Message/" + mediaFolder + "voice.opus", whatsAppVoiceBytes);
    addFile("Message/" + mediaFolder + "report.pdf", "pdf bytes");
    addFile("Message/" + mediaFolder + "sticker.webp", "webp bytes");
    addFile("Message/Media/status/s.jpg", "status bytes");
    const DatabaseFiles chats = databaseFiles(JournalMode::WalWithLog, olderSql(), newerSql());
    addFile("ChatStorage.sqlite-wal", *chats.wal);
    addFile("ChatStorage.sqlite", chats.main);
    addFile("CallHistory.sqlite", databaseFiles(JournalMode::Rollback, callHistorySql(), "").main);
}

}  // namespace salvora::test
