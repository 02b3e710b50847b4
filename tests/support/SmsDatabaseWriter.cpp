#include "support/SmsDatabaseWriter.h"

#include <optional>
#include <vector>

#include "export/BrowserImage.h"
#include "sqlite/ReferenceDate.h"
#include "support/HeicImage.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {

constexpr std::string_view photoPath = "Library/SMS/Attachments/ab/11/A1B2/IMG_0001.JPG";
constexpr std::string_view memoPath = "Library/SMS/Attachments/cd/12/C3D4/Audio Message.caf";
constexpr std::string_view partPath = "Library/SMS/Parts/3c/02/4-1.jpg";

// A photo as a browser shows it, where this machine encodes HEIC to make one from.
const std::string& photoBytes() {
    static const std::string bytes = [] {
        auto jpeg = jpegOfHeif(bytesOf(heicImage(160, 120)));
        return jpeg ? std::string(jpeg->begin(), jpeg->end())
                    : std::string("JPEG bytes of the photo");
    }();
    return bytes;
}

std::string quoted(std::string_view text) {
    std::string sql = "'";
    for (char c : text) sql += c == '\'' ? std::string("''") : std::string(1, c);
    return sql + "'";
}

std::string hexBlob(std::string_view bytes) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string sql = "X'";
    for (unsigned char c : bytes) {
        sql += digits[c >> 4];
        sql += digits[c & 0xF];
    }
    return sql + "'";
}

// A typedstream integer: one byte below 0x80, else 0x81 and two bytes, 0x82 and four.
void putLength(std::string& out, std::size_t length) {
    if (length < 0x80) {
        out += static_cast<char>(length);
        return;
    }
    const int width = length <= 0xFFFF ? 2 : 4;
    out += static_cast<char>(width == 2 ? 0x81 : 0x82);
    for (int i = 0; i < width; ++i) out += static_cast<char>(length >> (8 * i) & 0xFF);
}

// A shared string seen for the first time: 0x84, its length, its bytes.
void putNewString(std::string& out, std::string_view text) {
    out += '\x84';
    putLength(out, text.size());
    out += text;
}

// A class seen for the first time: 0x84, its name, its version.
void putNewClass(std::string& out, std::string_view name, char version) {
    out += '\x84';
    putNewString(out, name);
    out += version;
}

struct Columns {
    bool chats;
    bool nanoseconds;
    bool modern;  // iOS 16 on
};

Columns columnsOf(SmsGeneration generation) {
    return {generation >= SmsGeneration::Seconds, generation >= SmsGeneration::Nanoseconds,
            generation == SmsGeneration::AttributedBodies};
}

// A date of the example, `minute` minutes after its first message, as the generation keeps it.
std::string dateAt(const Columns& columns, int minute) {
    const std::int64_t seconds = firstSmsDate - ReferenceDateUnixSeconds + 60 * minute;
    return std::to_string(columns.nanoseconds ? seconds * 1'000'000'000 : seconds);
}

struct Row {
    int chat = 0;  // 0: in no chat
    int handle = 0;
    bool fromMe = false;
    std::optional<std::string> text;
    std::vector<std::pair<std::string, std::string>> values{};  // further columns, as SQL
};

std::string insert(const Columns& columns, int rowid, int minute, const Row& row) {
    std::string names = "ROWID, guid, handle_id, is_from_me, date, service";
    std::string values = std::to_string(rowid) + ", 'GUID-" + std::to_string(rowid) + "', " +
                         std::to_string(row.handle) + ", " + (row.fromMe ? "1" : "0") + ", " +
                         dateAt(columns, minute) + ", 'iMessage'";
    // From iOS 16 a body may be kept only in attributedBody; the text column still holds most.
    if (row.text) {
        const bool bodyOnly = columns.modern && *row.text == "Hi there";
        names += ", text";
        values += ", " + (bodyOnly ? std::string("NULL") : quoted(*row.text));
        if (columns.modern) {
            names += ", attributedBody";
            values += ", " + hexBlob(typedstreamOf(*row.text));
        }
    }
    for (const auto& [name, value] : row.values) {
        names += ", " + name;
        values += ", " + value;
    }
    std::string sql = "INSERT INTO message (" + names + ") VALUES (" + values + ");\n";
    if (row.chat != 0)
        sql += "INSERT INTO chat_message_join VALUES (" + std::to_string(row.chat) + ", " +
               std::to_string(rowid) + ");\n";
    return sql;
}

std::string reaction(const Columns& columns, int rowid, int minute, int handle, bool fromMe,
                     int type, std::string target, std::string emoji = {}) {
    Row row{1,
            handle,
            fromMe,
            std::nullopt,
            {{"associated_message_type", std::to_string(type)},
             {"associated_message_guid", quoted(target)}}};
    if (!emoji.empty()) row.values.emplace_back("associated_message_emoji", quoted(emoji));
    return insert(columns, rowid, minute, row);
}

std::string chatsTables(const Columns& columns) {
    std::string sql =
        "CREATE TABLE handle (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, id TEXT NOT NULL, "
        "service TEXT);\n"
        "CREATE TABLE chat (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT, chat_identifier "
        "TEXT, service_name TEXT, display_name TEXT);\n"
        "CREATE TABLE chat_handle_join (chat_id INTEGER, handle_id INTEGER, UNIQUE(chat_id, "
        "handle_id));\n"
        "CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER, PRIMARY KEY "
        "(chat_id, message_id));\n"
        "CREATE INDEX chat_message_join_idx_message_id ON chat_message_join(message_id);\n"
        "CREATE TABLE attachment (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT, "
        "created_date INTEGER DEFAULT 0, filename TEXT, mime_type TEXT, transfer_name TEXT);\n"
        "CREATE TABLE message_attachment_join (message_id INTEGER, attachment_id INTEGER);\n"
        "CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, guid TEXT UNIQUE NOT "
        "NULL, text TEXT, handle_id INTEGER DEFAULT 0, service TEXT, date INTEGER, is_from_me "
        "INTEGER DEFAULT 0, cache_has_attachments INTEGER DEFAULT 0, item_type INTEGER DEFAULT 0, "
        "other_handle INTEGER DEFAULT 0, group_title TEXT, group_action_type INTEGER DEFAULT 0, "
        "associated_message_guid TEXT, associated_message_type INTEGER DEFAULT 0";
    if (columns.modern)
        sql +=
            ", attributedBody BLOB, thread_originator_guid TEXT, date_edited INTEGER DEFAULT 0, "
            "date_retracted INTEGER DEFAULT 0, associated_message_emoji TEXT";
    return sql + ");\n";
}

std::string chatsSchema(const Columns& columns) {
    return chatsTables(columns) +
           "INSERT INTO handle VALUES (1, '+491511234567', 'iMessage'), (2, 'ada@example.com', "
           "'iMessage'), (3, '+15550001111', 'iMessage');\n"
           "INSERT INTO chat VALUES (1, 'iMessage;-;+491511234567', '+491511234567', 'iMessage', "
           "NULL), (2, 'iMessage;+;chat100', 'chat100', 'iMessage', 'Trip');\n"
           "INSERT INTO chat_handle_join VALUES (1, 1), (2, 1), (2, 2), (2, 3);\n";
}

std::string olderRows(const Columns& c) {
    std::string sql = insert(c, 1, 0, {1, 1, false, "Hello"});
    sql += insert(c, 2, 1, {1, 0, true, "Hi there"});
    Row reply{1, 1, false, "Reply to hello"};
    if (c.modern) reply.values.emplace_back("thread_originator_guid", "'GUID-1'");
    sql += insert(c, 3, 2, reply);
    Row edited{1, 0, true, "Edited text"};
    if (c.modern) edited.values.emplace_back("date_edited", dateAt(c, 4));
    sql += insert(c, 4, 3, edited);
    Row unsent{1, 1, false, "Unsent text"};
    if (c.modern) unsent = {1, 1, false, std::nullopt, {{"date_retracted", dateAt(c, 5)}}};
    sql += insert(c, 5, 4, unsent);
    sql += reaction(c, 6, 5, 1, false, 2000, "p:0/GUID-2");
    sql += reaction(c, 7, 6, 0, true, 2003, "bp:GUID-1");
    sql += reaction(c, 8, 7, 1, false, 2001, "p:0/GUID-4");
    sql += reaction(c, 9, 8, 1, false, 3001, "p:0/GUID-4");
    sql += insert(c, 10, 9,
                  {2, 0, true, std::nullopt, {{"item_type", "2"}, {"group_title", "'Trip'"}}});
    sql += insert(c, 11, 10,
                  {2,
                   0,
                   true,
                   std::nullopt,
                   {{"item_type", "1"}, {"group_action_type", "0"}, {"other_handle", "3"}}});
    sql += insert(c, 12, 11, {2, 2, false, "Hi all"});
    sql += insert(c, 13, 12, {2, 3, false, "Hey"});
    sql += insert(c, 14, 13, {0, 3, false, "Orphan"});
    return sql;
}

std::string newerRows(const Columns& c) {
    std::string sql =
        insert(c, 15, 14, {1, 0, true, "\xEF\xBF\xBC", {{"cache_has_attachments", "1"}}});
    sql += insert(c, 16, 15, {1, 1, false, std::nullopt, {{"cache_has_attachments", "1"}}});
    sql += "INSERT INTO attachment VALUES (1, 'A1B2', " + dateAt({false, false, false}, 14) +
           ", '~/" + std::string(photoPath) + "', 'image/jpeg', 'IMG_0001.JPG'), (2, 'C3D4', " +
           dateAt({false, false, false}, 15) + ", '~/" + std::string(memoPath) +
           "', 'audio/x-caf', 'Audio Message.caf');\n"
           "INSERT INTO message_attachment_join VALUES (15, 1), (16, 2);\n";
    if (c.modern) sql += reaction(c, 17, 16, 1, false, 2006, "p:0/GUID-15", "🎉");
    return sql;
}

std::string legacyRows(SmsGeneration generation) {
    const bool grouped = generation == SmsGeneration::Grouped;
    std::string sql =
        "CREATE TABLE message (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, address TEXT, date "
        "INTEGER, text TEXT, flags INTEGER";
    sql += grouped ? ", group_id INTEGER);\n"
                     "CREATE TABLE msg_group (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, type "
                     "INTEGER, newest_message INTEGER);\n"
                     "CREATE TABLE group_member (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, "
                     "group_id INTEGER, address TEXT);\n"
                     "INSERT INTO msg_group VALUES (1, 0, 2), (2, 0, 3);\n"
                     "INSERT INTO group_member VALUES (1, 1, '+491511234567'), (2, 2, "
                     "'ada@example.com');\n"
                   : ");\n";
    auto row = [&](int rowid, std::string_view address, int flags, std::string_view text,
                   int group) {
        return "INSERT INTO message VALUES (" + std::to_string(rowid) + ", " + quoted(address) +
               ", " + std::to_string(firstSmsDate + 60 * (rowid - 1)) + ", " + quoted(text) + ", " +
               std::to_string(flags) + (grouped ? ", " + std::to_string(group) : "") + ");\n";
    };
    // Sent: flags 3; received: 2. A sent message keeps the address it went to.
    sql += row(1, "+491511234567", 2, "Hello", 1);
    sql += row(2, "+491511234567", 3, "Hi there", 1);
    sql += row(3, "ada@example.com", 2, "From Ada", 2);
    if (!grouped) return sql;
    // An MMS: no text of its own, its words and photos in parts, the second photo's file gone.
    return sql + row(4, "ada@example.com", 2, "", 2) +
           "CREATE TABLE msg_pieces (ROWID INTEGER PRIMARY KEY AUTOINCREMENT, message_id "
           "INTEGER, data BLOB, part_id INTEGER, preview_part INTEGER, content_type TEXT, flags "
           "INTEGER, content_id TEXT, content_loc TEXT);\n"
           "INSERT INTO msg_pieces VALUES (1, 4, NULL, 0, -1, 'application/smil', 0, 'smil', "
           "'smil.xml'), (2, 4, " +
           hexBlob("Picture from Ada") +
           ", 3, -1, 'text/plain', 0, "
           "'text_0', 'text_0.txt'), (3, 4, NULL, 1, -1, 'image/jpeg', 0, 'IMG_0002', "
           "'IMG_0002.jpg'), (4, 4, NULL, 2, -1, 'image/jpeg', 0, 'IMG_0003', 'IMG_0003.jpg');\n";
}

}  // namespace

std::string typedstreamOf(std::string_view text) {
    std::string out = "\x04";
    putLength(out, 11);
    out += "streamtyped";
    out += "\x81\xE8\x03";  // the archiving system's version, 1000
    putNewString(out, "@");
    out += '\x84';  // the object
    putNewClass(out, "NSMutableAttributedString", '\0');
    putNewClass(out, "NSAttributedString", '\0');
    putNewClass(out, "NSObject", '\0');
    out += '\x85';  // no further superclass
    out += '\x92';  // the type "@" again, by reference
    out += '\x84';  // the string object
    putNewClass(out, "NSMutableString", '\x01');
    putNewClass(out, "NSString", '\x01');
    out += '\x95';  // NSObject, by reference
    putNewString(out, "+");
    putLength(out, text.size());
    out += text;
    out += '\x86';  // the end of the string object
    return out + "\x86";
}

std::string smsTablesSql(SmsGeneration generation) { return chatsTables(columnsOf(generation)); }

DatabaseFiles smsDatabaseFiles(SmsGeneration generation, JournalMode journal) {
    const Columns columns = columnsOf(generation);
    if (!columns.chats) return databaseFiles(journal, legacyRows(generation), "");
    return databaseFiles(journal, chatsSchema(columns) + olderRows(columns), newerRows(columns));
}

void writeMessages(SmsGeneration generation, JournalMode journal,
                   const MessagesFileAdder& addFile) {
    const auto seconds = static_cast<std::uint32_t>(firstSmsDate + 14 * 60);
    if (columnsOf(generation).chats)
        addFile("MediaDomain", std::string(photoPath), photoBytes(), seconds);
    if (generation == SmsGeneration::Grouped)
        addFile("MediaDomain", std::string(partPath), "JPEG bytes of a part", seconds);
    const DatabaseFiles files = smsDatabaseFiles(generation, journal);
    addFile("HomeDomain", "Library/SMS/sms.db", files.main, seconds);
    if (files.wal) addFile("HomeDomain", "Library/SMS/sms.db-wal", *files.wal, seconds);
}

}  // namespace salvora::test
