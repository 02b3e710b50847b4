#include "bench/ConversationBackups.h"

#include <cstdio>

#include "sqlite/ReferenceDate.h"
#include "support/AddressBookWriter.h"
#include "support/BackupWriter.h"
#include "support/ChatStorageWriter.h"
#include "support/SmsDatabaseWriter.h"
#include "support/WalDatabase.h"

namespace salvora::bench {
namespace {

// 2019-01-01 00:00:00 UTC, in seconds since 2001.
constexpr std::int64_t firstDate = 1546300800 - ReferenceDateUnixSeconds;

// "WITH RECURSIVE n(i) …": the numbers 1 to `count`, for an INSERT … SELECT.
std::string numbers(std::size_t count) {
    return "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
           std::to_string(count) + ") ";
}

// The text messages are cut from: sentences of chat with a line break, accents and an emoji.
std::string textPool() {
    static constexpr std::string_view sentences[] = {
        "Are we still on for dinner tonight? ",
        "I'll be there in ten minutes, the train is late again. ",
        "Did you see the photos from the weekend? ",
        "Haha yes, that was brilliant!\n",
        "Can you pick up some milk and bread on the way home? ",
        "Grüße aus München, das Wetter ist schön. ",
        "Running late, sorry 🙏 ",
        "Happy birthday!!! Have a wonderful day 🎉 ",
        "Let me check my calendar and get back to you. ",
        "The meeting moved to Thursday at 3 pm, same room as last time. ",
        "Ok ",
        "Thanks a lot, see you tomorrow. ",
        "Où est-ce qu'on se retrouve ? ",
        "Call me when you get this, it's about the flat. ",
    };
    std::string pool;
    while (pool.size() < 2400)
        for (std::string_view sentence : sentences) pool += sentence;
    return pool;
}

std::string quoted(std::string_view text) {
    std::string sql = "'";
    for (char c : text) sql += c == '\'' ? std::string("''") : std::string(1, c);
    return sql + "'";
}

// A message's text: 2 to 61 characters, one in eleven up to 300 more, cut from the pool.
std::string textOf(const std::string& pool) {
    return "substr(" + quoted(pool) + ", 1 + (i * 101) % 1800, 2 + (i * 37) % 60 + CASE WHEN i % " +
           "11 = 0 THEN (i * 13) % 300 ELSE 0 END)";
}

// Conversation `1 + C·u²` for u spread over [0, 1): a few conversations of thousands of
// messages, most of a hundred or so.
std::string skewedChat(std::size_t chats) {
    return "MIN(" + std::to_string(chats) + ", 1 + CAST(" + std::to_string(chats) +
           " * ((i * 2654435761) % 1000003 / 1000003.0) * ((i * 2654435761) % 1000003 / "
           "1000003.0) AS INTEGER))";
}

std::string attachmentPath(std::size_t index) {
    char path[96];
    std::snprintf(path, sizeof path, "Library/SMS/Attachments/%02zx/%02zu/PHOTO-%zu/IMG_%04zu.JPG",
                  index % 256, index % 16, index, index % 10000);
    return path;
}

std::string smsSql(const SmsPlan& plan) {
    const std::string chats = std::to_string(plan.conversations);
    std::string sql = "BEGIN;" + test::smsTablesSql(test::SmsGeneration::Nanoseconds);
    // Handle c is the other side of conversation c; conversation c is a group of c and the two
    // handles after it when c is a multiple of ten.
    sql += numbers(plan.conversations) +
           "INSERT INTO handle (ROWID, id, service) SELECT i, CASE WHEN i % 7 = 0 THEN "
           "printf('friend%d@example.com', i) ELSE printf('+49151%07d', i) END, 'iMessage' FROM "
           "n;";
    sql += numbers(plan.conversations) +
           "INSERT INTO chat (ROWID, guid, chat_identifier, service_name, display_name) SELECT i, "
           "printf('iMessage;-;chat%d', i), printf('chat%d', i), 'iMessage', CASE WHEN i % 10 = 0 "
           "THEN printf('Group %d', i) END FROM n;";
    sql += numbers(plan.conversations) +
           "INSERT INTO chat_handle_join SELECT i, i FROM n UNION ALL SELECT i, i % " + chats +
           " + 1 FROM n WHERE i % 10 = 0 UNION ALL SELECT i, (i + 1) % " + chats +
           " + 1 FROM n WHERE i % 10 = 0;";
    sql += "CREATE TEMP TABLE spread (i INTEGER PRIMARY KEY, chat INTEGER);" +
           numbers(plan.messages) + "INSERT INTO spread SELECT i, " +
           skewedChat(plan.conversations) + " FROM n;";
    const std::size_t every = plan.attachments == 0 ? 0 : plan.messages / plan.attachments;
    const std::string withAttachment =
        every == 0 ? std::string("0") : "i % " + std::to_string(every) + " = 0";
    sql +=
        "INSERT INTO message (ROWID, guid, text, handle_id, service, date, is_from_me, "
        "cache_has_attachments) SELECT i, 'GUID-' || i, " +
        textOf(textPool()) +
        ", CASE WHEN chat % 10 != 0 THEN chat WHEN (i * 7) % 5 < 2 THEN 0 ELSE (chat - 1 + i "
        "% 3) % " +
        chats + " + 1 END, CASE WHEN i % 13 = 0 THEN 'SMS' ELSE 'iMessage' END, (" +
        std::to_string(firstDate) + " + i * 60 + (i * 17) % 60) * 1000000000, (i * 7) % 5 < 2, " +
        withAttachment +
        " FROM spread;"
        "INSERT INTO chat_message_join SELECT chat, i FROM spread;";
    for (std::size_t index = 1; every != 0 && index <= plan.attachments; ++index) {
        const std::string id = std::to_string(index);
        const std::string message = std::to_string(index * every);
        sql +=
            "INSERT INTO attachment (ROWID, guid, filename, mime_type, transfer_name) VALUES "
            "(" +
            id + ", 'PHOTO-" + id + "', '~/" + attachmentPath(index) + "', 'image/jpeg', 'IMG_" +
            id +
            ".JPG');"
            "INSERT INTO message_attachment_join VALUES (" +
            message + ", " + id + ");";
    }
    return sql + "DROP TABLE spread;COMMIT;";
}

// A temporary table `name` (k, name) of the words, k counting from 0.
std::string wordTable(std::string_view name, std::initializer_list<std::string_view> words) {
    std::string sql = "CREATE TEMP TABLE " + std::string(name) +
                      " (k INTEGER PRIMARY KEY, name TEXT);INSERT INTO " + std::string(name) +
                      " VALUES ";
    std::size_t k = 0;
    for (std::string_view word : words) {
        sql += (k == 0 ? "(" : ", (") + std::to_string(k) + ", " + quoted(word) + ")";
        ++k;
    }
    return sql + ";";
}

}  // namespace

void writeSmsBackup(const std::string& folder, const SmsPlan& plan) {
    test::BackupWriter backup(folder);
    const std::uint64_t photoBytes =
        plan.attachments == 0 ? 0 : plan.attachmentBytes / plan.attachments;
    std::string photo(photoBytes, 'p');
    for (std::size_t index = 1; index <= plan.attachments; ++index) {
        // Photos alike in size, unlike in bytes.
        std::snprintf(photo.data(), photo.size(), "\xFF\xD8\xFF\xE0 photo %zu", index);
        backup.addManifestDbFile("MediaDomain", attachmentPath(index), photo);
    }
    backup.addManifestDbFile(
        "HomeDomain", "Library/SMS/sms.db",
        test::databaseFiles(test::JournalMode::Rollback, smsSql(plan), "").main);
}

void writeWhatsAppBackup(const std::string& folder, std::size_t messages, std::size_t chats) {
    const std::string count = std::to_string(chats);
    // Chat c is a group of three members, Z_PK 3c to 3c + 2, when c is a multiple of ten.
    std::string sql = std::string("BEGIN;") + test::chatStorageSchema + numbers(chats) +
                      "INSERT INTO ZWACHATSESSION SELECT i, 5, CASE WHEN i % 10 = 0 THEN "
                      "printf('49151%07d-1600000000@g.us', i) ELSE "
                      "printf('49151%07d@s.whatsapp.net', i) END, CASE WHEN i % 10 = 0 THEN "
                      "printf('Group %d', i) ELSE printf('Friend %d', i) END, i % 10 = 0, " +
                      std::to_string(firstDate) + " + i, 0 FROM n;";
    sql += numbers(3 * chats) +
           "INSERT INTO ZWAGROUPMEMBER SELECT i, i / 3, printf('4917%08d@s.whatsapp.net', i), "
           "CASE WHEN i % 2 = 0 THEN printf('Member %d', i) END FROM n WHERE (i / 3) % 10 = 0 AND "
           "i >= 3;";
    sql += "CREATE TEMP TABLE spread (i INTEGER PRIMARY KEY, chat INTEGER, fromMe INTEGER);" +
           numbers(messages) + "INSERT INTO spread SELECT i, " + skewedChat(chats) +
           ", (i * 7) % 5 < 2 FROM n;";
    sql +=
        "INSERT INTO ZWAMESSAGE SELECT i, chat, fromMe, CASE WHEN fromMe THEN NULL WHEN chat % "
        "10 = 0 THEN printf('49151%07d-1600000000@g.us', chat) ELSE "
        "printf('49151%07d@s.whatsapp.net', chat) END, " +
        textOf(textPool()) + ", " + std::to_string(firstDate) +
        " + i * 60 + (i % 4) * 0.25, 0, CASE WHEN chat % 10 = 0 AND NOT fromMe THEN 3 * chat "
        "+ i % 3 END, NULL, NULL, NULL FROM spread;"
        "DROP TABLE spread;COMMIT;";
    test::BackupWriter backup(folder);
    backup.addManifestDbFile("AppDomainGroup-group.net.whatsapp.WhatsApp.shared",
                             "ChatStorage.sqlite",
                             test::databaseFiles(test::JournalMode::Rollback, sql, "").main);
}

void writeContactsBackup(const std::string& folder, std::size_t contacts) {
    std::string people =
        "BEGIN;" + test::addressBookSchema +
        wordTable("firsts", {"Anna",  "Ben",     "Clara", "David", "Emma",  "Felix",  "Greta",
                             "Hugo",  "Ida",     "Jonas", "Lena",  "Max",   "Nora",   "Oskar",
                             "Paula", "Quentin", "Rosa",  "Simon", "Tilda", "Ulrich", "Zoë"}) +
        wordTable("lasts", {"Müller", "Schmidt", "Schneider", "Fischer", "Weber", "Meyer", "Wagner",
                            "Becker", "Schulz", "Hoffmann", "Koch", "Richter", "Klein", "Wolf",
                            "Schröder", "Neumann"}) +
        numbers(contacts) +
        "INSERT INTO ABPerson (ROWID, First, Last, Organization, Kind, CreationDate, "
        "ModificationDate) SELECT i, (SELECT name FROM firsts WHERE k = i % 21), (SELECT name "
        "FROM lasts WHERE k = (i / 21) % 16), CASE WHEN i % 4 = 0 THEN printf('Firma %d GmbH', i "
        "% 500) END, 0, 600000000 + i, 600000000 + 2 * i FROM n;" +
        numbers(contacts) +
        "INSERT INTO ABMultiValue (UID, record_id, property, identifier, label, value) SELECT 3 * "
        "i, i, 3, 0, 1, printf('+49 151 %07d', i) FROM n UNION ALL SELECT 3 * i + 1, i, 3, 1, 3, "
        "printf('030 %07d', i) FROM n UNION ALL SELECT 3 * i + 2, i, 4, 0, 3, "
        "printf('person%d@example.com', i) FROM n;"
        "DROP TABLE firsts;DROP TABLE lasts;COMMIT;";
    const std::string images = "BEGIN;" + test::addressBookImagesSchema + numbers(contacts) +
                               "INSERT INTO ABFullSizeImage (record_id, data) SELECT i, "
                               "X'FFD8FFE0' || randomblob(4096 + (i * 7919) % 12288) || "
                               "X'FFD9' FROM n;COMMIT;";
    test::BackupWriter backup(folder);
    backup.addManifestDbFile("HomeDomain", "Library/AddressBook/AddressBook.sqlitedb",
                             test::databaseFiles(test::JournalMode::Rollback, people, "").main);
    backup.addManifestDbFile("HomeDomain", "Library/AddressBook/AddressBookImages.sqlitedb",
                             test::databaseFiles(test::JournalMode::Rollback, images, "").main);
}

}  // namespace salvora::bench
