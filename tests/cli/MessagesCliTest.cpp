// salvora-cli messages --list on plain and encrypted backups, run as a process and in-process:
// every conversation of sms.db with its participants, count and dates in local time, the rows
// only in the -wal included; and the clear refusals.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Cli.h"
#include "support/BackupWriter.h"
#include "support/EncryptedBackup.h"
#include "support/ProcessRun.h"
#include "support/SmsDatabaseWriter.h"

namespace salvora::cli {
namespace {
using nlohmann::json;
using test::JournalMode;

struct Case {
    const char* name;
    bool encrypted;
    JournalMode journal;
};

void PrintTo(const Case& each, std::ostream* out) { *out << each.name; }

class MessagesListing : public ::testing::TestWithParam<Case> {
  protected:
    test::TemporaryFolder folder;
};

TEST_P(MessagesListing, ListsEveryConversationWithItsCountAndLocalDates) {
    const Case& each = GetParam();
    test::BackupWriter plain(folder / "plain");
    test::EncryptedBackup encrypted(folder / "encrypted");
    test::writeMessages(test::SmsGeneration::AttributedBodies, each.journal,
                        [&](const std::string& domain, const std::string& path,
                            const std::string& contents, std::uint32_t modified) {
                            if (each.encrypted)
                                encrypted.addFile(domain, path, contents, modified);
                            else
                                plain.addManifestDbFile(domain, path, contents, modified);
                        });
    std::vector<std::string> args = {
        "messages", each.encrypted ? encrypted.folder() : plain.folder(), "--list", "--json"};
    test::ProcessResult listed;
    if (each.encrypted) {
        // In-process, the password on standard input.
        std::istringstream in(encrypted.keybag().password + "\n");
        std::ostringstream out, err;
        args.push_back("--password-stdin");
        listed.status = run(args, out, err, false, PasswordInput{&in, nullptr});
        listed.out = out.str();
        listed.err = err.str();
    } else {
        listed = test::runProcess(SALVORA_CLI_PATH, args);
    }
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.err, "");
    const json conversations = json::parse(listed.out).at("conversations");
    ASSERT_EQ(conversations.size(), 3u);
    EXPECT_EQ(conversations[0], json::parse(R"({"title": "+491511234567", "service": "iMessage",
                  "participants": [{"handle": "+491511234567", "name": null}], "messages": 7,
                  "firstDate": "2023-11-14T23:13:20+01:00",
                  "lastDate": "2023-11-14T23:28:20+01:00"})"));
    EXPECT_EQ(conversations[1].at("title"), "Trip");
    EXPECT_EQ(conversations[1].at("participants").size(), 3u);
    EXPECT_EQ(conversations[1].at("messages"), 4);
    EXPECT_EQ(conversations[2].at("title"), "+15550001111");
    EXPECT_EQ(conversations[2].at("messages"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    , MessagesListing,
    ::testing::Values(Case{"Plain", false, JournalMode::Rollback},
                      Case{"PlainNewestInTheLog", false, JournalMode::WalWithLog},
                      Case{"Encrypted", true, JournalMode::Rollback},
                      Case{"EncryptedNewestInTheLog", true, JournalMode::WalWithLog}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MessagesCommand, RefusesABackupWithoutMessagesAndDatesItCantRead) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("HomeDomain", "Library/Notes/notes.sqlite", "not messages");
    auto listed = test::runProcess(SALVORA_CLI_PATH, {"messages", backup.folder(), "--list"});
    EXPECT_EQ(listed.status, 2);
    EXPECT_EQ(listed.err,
              "salvora-cli: no Messages database (HomeDomain Library/SMS/sms.db) in this backup\n");
    for (const char* date : {"2023-13-01", "yesterday", "2023-11-14T25:00", "2023-11-14T10:00+1"}) {
        auto refused = test::runProcess(
            SALVORA_CLI_PATH, {"messages", backup.folder(), folder / "dest", "--since", date});
        EXPECT_EQ(refused.status, 2) << date;
        EXPECT_NE(refused.err.find("not a date"), std::string::npos) << refused.err;
    }
}

}  // namespace
}  // namespace salvora::cli
