// WhatsApp's chats read from a backup as the phone left them, for WhatsApp and WhatsApp
// Business, in plain and encrypted backups: the rows only in the "-wal", names from the chats
// themselves, every kind of message in words, replies, deleted messages and calls.
#include <gtest/gtest.h>

#include "catalog/Catalog.h"
#include "sources/whatsapp/BackupWhatsApp.h"
#include "sources/whatsapp/WhatsAppChats.h"
#include "sqlite/ServedDatabase.h"
#include "support/ChatStorageWriter.h"
#include "support/EncryptedBackup.h"
#include "support/WalDatabase.h"

namespace salvora {
namespace {

constexpr UnixMillis firstMessage = (978307200LL + 700000000 + 60) * 1000 + 250;

struct Case {
    WhatsAppApplication application;
    bool encrypted;
};

void PrintTo(const Case& each, std::ostream* out) {
    *out << each.application.service << (each.encrypted ? ", encrypted" : ", plain");
}

class WhatsAppChats : public ::testing::TestWithParam<Case> {
  protected:
    WhatsAppChats() {
        const std::string domain(GetParam().application.domain);
        if (GetParam().encrypted) device.directory = encrypted.folder();
        test::writeWhatsAppContainer([&](const std::string& path, const std::string& contents) {
            if (GetParam().encrypted)
                encrypted.addFile(domain, path, contents);
            else
                plain.addManifestDbFile(domain, path, contents);
        });
        if (GetParam().encrypted) {
            EXPECT_TRUE(catalog.unlockBackup(device.directory, encrypted.keybag().password));
        }
        catalog.buildCatalogForDevice(device);
    }

    std::unique_ptr<ConversationStore> open(bool includeStatus = false) {
        auto store = openBackupWhatsAppChats(device.directory, *device.applications,
                                             catalog.keybagFor(device.directory).get(),
                                             GetParam().application, includeStatus);
        EXPECT_TRUE(store) << store.error().description();
        return store ? std::move(*store) : nullptr;
    }

    // The conversation of that title with that participant handle.
    Conversation chat(ConversationStore& store, const std::string& handle) {
        for (std::size_t index = 0; index < store.outlines().size(); ++index) {
            const auto& participants = store.outlines()[index].participants;
            if (!participants.empty() && participants.front().handle == handle) {
                auto read = store.read(index);
                EXPECT_TRUE(read);
                return read ? *read : Conversation{};
            }
        }
        ADD_FAILURE() << "no chat with " << handle;
        return {};
    }

    test::TemporaryFolder folder;
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    test::BackupWriter plain{device.directory};
    test::EncryptedBackup encrypted{folder / "encrypted"};
    Catalog catalog;
};

TEST_P(WhatsAppChats, ListsEachChatApartWithTheLogsRowsAndLeavesStatusOut) {
    auto store = open();
    ASSERT_TRUE(store);
    EXPECT_EQ(whatsAppApplicationsIn(*device.applications).size(), 1u);
    std::vector<std::string> titles;
    std::vector<std::size_t> counts;
    for (const ConversationOutline& outline : store->outlines()) {
        titles.push_back(outline.title);
        counts.push_back(outline.messageCount);
        EXPECT_EQ(outline.service, GetParam().application.service);
    }
    // Newest first; the second Ada and the group's last message are only in the "-wal".
    EXPECT_EQ(titles, (std::vector<std::string>{"Ada Lovelace", "Family", "Ada Lovelace",
                                                "+4915550000000"}));
    EXPECT_EQ(counts, (std::vector<std::size_t>{1, 4, 18, 1}));
    EXPECT_EQ(store->outlines()[2].firstDate, firstMessage);
    EXPECT_TRUE(store->warnings().empty());

    auto withStatus = open(true);
    ASSERT_TRUE(withStatus);
    ASSERT_EQ(withStatus->outlines().size(), 5u);
    const auto status = withStatus->read(1);  // by its last date, 2nd
    ASSERT_TRUE(status);
    EXPECT_EQ(status->outline.title, "Status updates");
    ASSERT_EQ(status->messages.size(), 1u);
    EXPECT_EQ(status->messages[0].text, "My status");
}

TEST_P(WhatsAppChats, SaysWhatEachKindOfMessageHolds) {
    auto store = open();
    ASSERT_TRUE(store);
    const Conversation ada = chat(*store, "+4915112345678");
    ASSERT_EQ(ada.messages.size(), 18u);
    struct Line {
        std::optional<std::string> text, note, event;
    };
    const std::vector<Line> expected = {
        {"Hello", {}, {}},
        {{}, {}, "Missed voice call"},
        {"Hi Ada", {}, {}},
        {"Beach", {}, {}},
        {{}, {}, {}},
        {{}, {}, {}},
        {{}, "Contact card: Charles Babbage", {}},
        {"Royal Society", "Location", {}},
        {"https://example.org", {}, {}},
        {{}, {}, {}},
        {{}, "GIF", {}},
        {{}, "Sticker", {}},
        {{}, "Poll: Lunch?", {}},
        {{}, {}, "Call"},
        {{}, {}, {}},
        {"odd", "A kind of message this version doesn't know (99)", {}},
        {{}, {}, {}},
        {{}, {}, "Video call, 3 min"},
    };
    for (std::size_t index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE(index);
        EXPECT_EQ(ada.messages[index].text, expected[index].text);
        EXPECT_EQ(ada.messages[index].note, expected[index].note);
        EXPECT_EQ(ada.messages[index].event, expected[index].event);
    }
    EXPECT_EQ(ada.messages[0].date, firstMessage);
    EXPECT_EQ(ada.messages[0].sender, 0u);
    EXPECT_EQ(ada.outline.participants.front().name, "Ada Lovelace");
    EXPECT_TRUE(ada.messages[2].fromMe);
    EXPECT_EQ(ada.messages[2].replyTo, 0u);
    EXPECT_TRUE(ada.messages[14].unsent);
    EXPECT_FALSE(ada.messages[13].unsent);
    ASSERT_TRUE(ada.messages[7].location);
    EXPECT_DOUBLE_EQ(ada.messages[7].location->latitude, 51.5065);
}

TEST_P(WhatsAppChats, TakesMediaFromTheContainerAndNeverFromOutsideIt) {
    auto store = open();
    ASSERT_TRUE(store);
    const Conversation ada = chat(*store, "+4915112345678");
    ASSERT_EQ(ada.messages.size(), 18u);
    const std::string folder = "Message/Media/4915112345678@s.whatsapp.net/a/b/";
    const std::vector<std::pair<std::size_t, std::string>> paths = {
        {3, folder + "photo.jpg"},  // recorded below "Media/", kept below "Message/"
        {4, folder + "video.mp4"},  // never downloaded: the path as recorded
        {5, folder + "voice.opus"},
        {9, folder + "report.pdf"},  // a leading "/" left out
        {16, ""},                    // "../../../etc/passwd"
    };
    for (const auto& [index, path] : paths) {
        SCOPED_TRACE(index);
        ASSERT_EQ(ada.messages[index].attachments.size(), 1u);
        const MessageAttachment& attachment = ada.messages[index].attachments[0];
        EXPECT_EQ(attachment.relativePath, path);
        EXPECT_EQ(attachment.domain, path.empty() ? "" : GetParam().application.domain);
        EXPECT_EQ(attachment.date, ada.messages[index].date);
    }
    EXPECT_EQ(ada.messages[9].attachments[0].name, "Report.pdf");
}

TEST_P(WhatsAppChats, NamesGroupMembersByTheChatsOwnNames) {
    auto store = open();
    ASSERT_TRUE(store);
    const Conversation family = chat(*store, "+4917611111111");
    ASSERT_EQ(family.outline.participants.size(), 2u);
    EXPECT_EQ(family.outline.participants[0].name, "Grace");
    EXPECT_EQ(family.outline.participants[1].handle, "1234567890@lid");
    EXPECT_EQ(family.outline.participants[1].name, "Alan Turing");
    ASSERT_EQ(family.messages.size(), 4u);
    EXPECT_EQ(family.messages[0].event, "Ada created the group");
    EXPECT_EQ(family.messages[1].sender, 0u);
    EXPECT_EQ(family.messages[2].sender, 1u);
    EXPECT_TRUE(family.messages[3].fromMe);
    EXPECT_EQ(family.messages[3].replyTo, 1u);

    const Conversation caller = chat(*store, "+4915550000000");
    ASSERT_EQ(caller.messages.size(), 1u);
    EXPECT_EQ(caller.messages[0].event, "Voice call, 42 s");
}

INSTANTIATE_TEST_SUITE_P(Backups, WhatsAppChats,
                         ::testing::Values(Case{whatsApp, false}, Case{whatsApp, true},
                                           Case{whatsAppBusiness, false},
                                           Case{whatsAppBusiness, true}),
                         [](const auto& info) {
                             return std::string(info.param.application.service == whatsApp.service
                                                    ? "WhatsApp"
                                                    : "Business") +
                                    (info.param.encrypted ? "Encrypted" : "Plain");
                         });

// A chat's messages come in date order whatever order the store numbered them in: those
// without a date first, ties within a millisecond by the stored date, then by number.
TEST(WhatsAppChatOrder, IsByDateWhateverTheStoresNumbers) {
    const std::string sql = std::string(test::chatStorageSchema) +
                            "INSERT INTO ZWACHATSESSION VALUES (1, 5, '1@s.whatsapp.net', 'Ada', "
                            "0, 0, 0);"
                            "INSERT INTO ZWAMESSAGE (Z_PK, ZCHATSESSION, ZISFROMME, ZTEXT, "
                            "ZMESSAGEDATE, ZMESSAGETYPE) VALUES (1, 1, 1, 'third', 700000300, 0), "
                            "(2, 1, 1, 'first', 700000100, 0), (3, 1, 1, 'undated', NULL, 0), "
                            "(4, 1, 1, 'second, later in its millisecond', 700000100.0004, 0), "
                            "(5, 1, 1, 'second', 700000100.0002, 0);";
    auto served = openServedDatabase(
        std::make_shared<const ServedFile>(
            test::bytesOf(test::databaseFiles(test::JournalMode::Rollback, sql, "").main)),
        nullptr);
    ASSERT_TRUE(served);
    auto store =
        openWhatsAppChats({std::move(served->database), std::nullopt}, std::nullopt, {}, {});
    ASSERT_TRUE(store) << store.error().description();
    auto chat = (*store)->read(0);
    ASSERT_TRUE(chat);
    std::vector<std::string> texts;
    for (const Message& message : chat->messages) texts.push_back(message.text.value_or(""));
    EXPECT_EQ(texts, (std::vector<std::string>{"undated", "first", "second",
                                               "second, later in its millisecond", "third"}));
}

}  // namespace
}  // namespace salvora
