// sms.db of every generation read into conversations through a backup as a phone leaves it:
// each message once, in its conversation, with what the generation records of it.
#include <gtest/gtest.h>

#include "catalog/Catalog.h"
#include "sources/messages/SmsDatabase.h"
#include "sqlite/ServedDatabase.h"
#include "support/BackupWriter.h"
#include "support/SmsDatabaseWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::JournalMode;
using test::SmsGeneration;

// A conversation as a line per message, so that a case states all it expects at once.
std::vector<std::string> linesOf(const Conversation& conversation) {
    auto who = [&](std::size_t sender) {
        return sender == fromOwner ? std::string("Me")
                                   : shownName(conversation.outline.participants.at(sender));
    };
    std::vector<std::string> lines;
    for (const Message& message : conversation.messages) {
        std::string line = message.event ? "* " + *message.event
                                         : who(message.fromMe ? fromOwner : message.sender) + ": " +
                                               message.text.value_or("");
        for (const MessageAttachment& file : message.attachments)
            line += " [" + file.name + " " + file.mimeType + " " + file.domain + "/" +
                    file.relativePath + "]";
        for (const Reaction& reaction : message.reactions)
            line += " {" + reaction.kind + reaction.emoji + " " + who(reaction.sender) + "}";
        if (message.replyTo) line += " >" + std::to_string(*message.replyTo);
        if (message.edited) line += " (edited)";
        if (message.unsent) line += " (unsent)";
        lines.push_back(line);
    }
    return lines;
}

struct Expected {
    std::string title;
    std::vector<std::string> lines;
};

struct Case {
    const char* name;
    SmsGeneration generation;
    JournalMode journal;
    std::vector<Expected> conversations;
    std::int64_t lastMinute;  // of the first conversation
};

void PrintTo(const Case& each, std::ostream* out) { *out << each.name; }

const std::string photo =
    " [IMG_0001.JPG image/jpeg MediaDomain/Library/SMS/Attachments/ab/11/A1B2/IMG_0001.JPG]";
const std::string memo =
    " [Audio Message.caf audio/x-caf MediaDomain/Library/SMS/Attachments/cd/12/C3D4/Audio "
    "Message.caf]";
const Expected trip{"Trip",
                    {"* Me named the conversation \xE2\x80\x9CTrip\xE2\x80\x9D",
                     "* Me added +15550001111", "ada@example.com: Hi all", "+15550001111: Hey"}};
const Expected orphan{"+15550001111", {"+15550001111: Orphan"}};

Expected withChats(bool modern) {
    return {"+491511234567",
            {"+491511234567: Hello {laugh😂 Me}", "Me: Hi there {love❤️ +491511234567}",
             std::string("+491511234567: Reply to hello") + (modern ? " >0" : ""),
             std::string("Me: Edited text") + (modern ? " (edited)" : ""),
             modern ? "+491511234567:  (unsent)" : "+491511234567: Unsent text",
             "Me: " + photo + (modern ? " {emoji🎉 +491511234567}" : ""), "+491511234567: " + memo}};
}

const std::vector<Expected> legacy = {{"+491511234567", {"+491511234567: Hello", "Me: Hi there"}},
                                      {"ada@example.com", {"ada@example.com: From Ada"}}};
const std::vector<Expected> grouped = {
    legacy[0],
    {"ada@example.com",
     {"ada@example.com: From Ada",
      "ada@example.com: Picture from Ada [IMG_0002.jpg image/jpeg "
      "MediaDomain/Library/SMS/Parts/3c/02/4-1.jpg] [IMG_0003.jpg image/jpeg /]"}}};

class SmsGenerations : public ::testing::TestWithParam<Case> {};

TEST_P(SmsGenerations, ReadsEveryMessageOnceInItsConversation) {
    const Case& each = GetParam();
    test::TemporaryFolder folder;
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    test::BackupWriter backup(device.directory);
    test::writeMessages(each.generation, each.journal,
                        [&](const std::string& domain, const std::string& path,
                            const std::string& contents, std::uint32_t modified) {
                            backup.addManifestDbFile(domain, path, contents, modified);
                        });
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    auto stored = openStoredDatabaseAt(device.directory, *device.applications, smsDomain,
                                       smsDatabasePath, nullptr);
    ASSERT_TRUE(stored) << stored.error().description();
    // Counted without reading, the same as the reader finds.
    const auto counts = countSmsConversations(stored->database.handle());
    ASSERT_TRUE(counts) << counts.error().description();
    auto store = openBackupSmsConversations(device.directory, *device.applications, nullptr);
    ASSERT_TRUE(store) << store.error().description();
    EXPECT_TRUE((*store)->warnings().empty());

    const auto& outlines = (*store)->outlines();
    ASSERT_EQ(outlines.size(), each.conversations.size());
    EXPECT_EQ(counts->conversations, outlines.size());
    std::size_t messages = 0;
    for (const ConversationOutline& outline : outlines) messages += outline.messageCount;
    EXPECT_EQ(counts->messages, messages);
    for (std::size_t i = 0; i < outlines.size(); ++i) {
        auto conversation = (*store)->read(i);
        ASSERT_TRUE(conversation);
        EXPECT_EQ(outlines[i].title, each.conversations[i].title);
        EXPECT_EQ(outlines[i].messageCount, each.conversations[i].lines.size());
        EXPECT_EQ(linesOf(*conversation), each.conversations[i].lines);
    }
    EXPECT_EQ(outlines[0].firstDate, test::firstSmsDate * 1000);
    EXPECT_EQ(outlines[0].lastDate, (test::firstSmsDate + 60 * each.lastMinute) * 1000);
}

INSTANTIATE_TEST_SUITE_P(, SmsGenerations,
                         ::testing::Values(Case{"MessagesOnly", SmsGeneration::MessagesOnly,
                                                JournalMode::Rollback, legacy, 1},
                                           Case{"Grouped", SmsGeneration::Grouped,
                                                JournalMode::Rollback, grouped, 1},
                                           Case{"Seconds",
                                                SmsGeneration::Seconds,
                                                JournalMode::Rollback,
                                                {withChats(false), trip, orphan},
                                                15},
                                           Case{"Nanoseconds",
                                                SmsGeneration::Nanoseconds,
                                                JournalMode::Rollback,
                                                {withChats(false), trip, orphan},
                                                15},
                                           Case{"AttributedBodies",
                                                SmsGeneration::AttributedBodies,
                                                JournalMode::Rollback,
                                                {withChats(true), trip, orphan},
                                                15},
                                           Case{"NewestOnlyInTheLog",
                                                SmsGeneration::AttributedBodies,
                                                JournalMode::WalWithLog,
                                                {withChats(true), trip, orphan},
                                                15}),
                         [](const auto& info) { return std::string(info.param.name); });

struct Unusual {
    const char* name;
    const char* sql;
    std::size_t messages;  // in one conversation; 0: refused
    std::size_t warnings;
};

void PrintTo(const Unusual& each, std::ostream* out) { *out << each.name; }

class UnusualSmsDatabases : public ::testing::TestWithParam<Unusual> {};

TEST_P(UnusualSmsDatabases, ReadWhatTheyHoldOrSayWhyNot) {
    const Unusual& each = GetParam();
    auto served = openServedDatabase(
        std::make_shared<const ServedFile>(
            test::bytesOf(test::databaseFiles(JournalMode::Rollback, each.sql, "").main)),
        nullptr);
    ASSERT_TRUE(served);
    const auto counts = countSmsConversations(served->database.handle());
    auto store = openSmsConversations({std::move(served->database), std::nullopt}, {});
    if (each.messages == 0) {
        ASSERT_FALSE(store);
        EXPECT_NE(store.error().reason, "");
        EXPECT_FALSE(counts);
        return;
    }
    ASSERT_TRUE(counts) << counts.error().description();
    EXPECT_EQ(counts->conversations, 1u);
    EXPECT_EQ(counts->messages, each.messages);
    ASSERT_TRUE(store) << store.error().description();
    ASSERT_EQ((*store)->outlines().size(), 1u);
    auto conversation = (*store)->read(0);
    ASSERT_TRUE(conversation);
    EXPECT_EQ(conversation->messages.size(), each.messages);
    EXPECT_EQ((*store)->warnings().size(), each.warnings);
}

INSTANTIATE_TEST_SUITE_P(
    , UnusualSmsDatabases,
    ::testing::Values(
        Unusual{"NoMessageTable", "CREATE TABLE other (x); INSERT INTO other VALUES (1);", 0, 0},
        Unusual{"UnknownColumns",
                "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, body BLOB); "
                "INSERT INTO message VALUES (1, x'00'), (2, NULL);",
                2, 1},
        Unusual{"ChatsOfAnotherShape",
                "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, text TEXT, date INTEGER); "
                "CREATE TABLE chat (name TEXT); CREATE TABLE chat_message_join (a, b); "
                "INSERT INTO message VALUES (1, 'a', 1), (2, 'b', 2);",
                2, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// A chat's messages are read with one statement where an index of the join table finds them,
// else one by one: either way a message joined to two chats is read once, in the first, and each
// chat's messages come in date order.
class JoinedMessages : public ::testing::TestWithParam<const char*> {};

TEST_P(JoinedMessages, AreReadOnceInTheirFirstChatInDateOrder) {
    const std::string sql =
        std::string(
            "CREATE TABLE message (ROWID INTEGER PRIMARY KEY, guid TEXT, text TEXT, date "
            "INTEGER, is_from_me INTEGER); CREATE TABLE chat (ROWID INTEGER PRIMARY KEY, "
            "chat_identifier TEXT); ") +
        GetParam() +
        "INSERT INTO chat VALUES (1, 'one'), (2, 'two'); INSERT INTO message VALUES (1, 'g1', "
        "'later', 30, 0), (2, 'g2', 'earlier', 10, 1), (3, 'g3', 'only two', 20, 0); INSERT INTO "
        "chat_message_join VALUES (2, 3), (2, 1), (1, 1), (1, 2);";
    auto served = openServedDatabase(std::make_shared<const ServedFile>(test::bytesOf(
                                         test::databaseFiles(JournalMode::Rollback, sql, "").main)),
                                     nullptr);
    ASSERT_TRUE(served);
    auto store = openSmsConversations({std::move(served->database), std::nullopt}, {});
    ASSERT_TRUE(store) << store.error().description();
    std::vector<std::vector<std::string>> texts;
    for (std::size_t i = 0; i < (*store)->outlines().size(); ++i) {
        auto conversation = (*store)->read(i);
        ASSERT_TRUE(conversation);
        texts.emplace_back();
        for (const Message& message : conversation->messages)
            texts.back().push_back(message.text.value_or(""));
    }
    EXPECT_EQ(texts, (std::vector<std::vector<std::string>>{{"earlier", "later"}, {"only two"}}));
    EXPECT_TRUE((*store)->warnings().empty());
}

INSTANTIATE_TEST_SUITE_P(
    , JoinedMessages,
    ::testing::Values("CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER, "
                      "PRIMARY KEY (chat_id, message_id));",
                      "CREATE TABLE chat_message_join (chat_id INTEGER, message_id INTEGER);"));

}  // namespace
}  // namespace salvora
