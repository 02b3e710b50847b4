// salvora-cli messages and whatsapp exporting whole backups, plain and encrypted, as a user runs
// them: the pages and the JSON of every conversation, the attachments the backup holds, a second
// run replacing the first, a folder holding someone's file refused, a drive that fills up failing
// it without harm, the backup left as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <set>

#include "sources/whatsapp/BackupWhatsApp.h"
#include "support/BackupWriter.h"
#include "support/ChatStorageWriter.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/MountedDrive.h"
#include "support/ProcessRun.h"
#include "support/SmsDatabaseWriter.h"

namespace salvora::cli {
namespace {
using nlohmann::json;
namespace fs = std::filesystem;

struct Case {
    const char* command;
    bool encrypted;
};

class ConversationExportProcess : public ::testing::TestWithParam<Case> {
  protected:
    void SetUp() override {
        const auto add = [&](const std::string& domain, const std::string& path,
                             const std::string& contents, std::uint32_t modified) {
            if (GetParam().encrypted)
                encrypted.addFile(domain, path, contents, modified);
            else
                plain.addManifestDbFile(domain, path, contents, modified);
        };
        if (messages())
            test::writeMessages(test::SmsGeneration::AttributedBodies,
                                test::JournalMode::WalWithLog, add);
        else
            test::writeWhatsAppContainer([&](const std::string& path, const std::string& bytes) {
                add(std::string(whatsApp.domain), path, bytes, 1700000000);
            });
    }
    bool messages() const { return std::string(GetParam().command) == "messages"; }
    std::string backup() const {
        return GetParam().encrypted ? encrypted.folder() : plain.folder();
    }
    test::ProcessResult run(std::vector<std::string> args) {
        args.insert(args.begin(), {GetParam().command, backup()});
        if (!GetParam().encrypted) return test::runProcess(SALVORA_CLI_PATH, args);
        args.push_back("--password-stdin");
        return test::runProcess(SALVORA_CLI_PATH, args, encrypted.keybag().password + "\n");
    }
    json exported(const std::string& destination) {
        const auto result = run({destination});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_TRUE(fs::is_regular_file(destination + "/index.html"));
        return json::parse(test::readText(destination + "/" + GetParam().command + ".json"));
    }

    test::TemporaryFolder folder;
    test::BackupWriter plain{folder / "plain"};
    test::EncryptedBackup encrypted{folder / "encrypted"};
};

TEST_P(ConversationExportProcess, WritesEveryConversationOnceAndReplacesTheLastRun) {
    const auto before = test::folderSnapshot(backup());
    const std::string destination = folder / "dest";
    const json first = exported(destination);
    const auto listed = run({"--list", "--json"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    json outlines = json::parse(listed.out);
    if (outlines.is_object()) outlines = outlines.at("conversations");
    const json& conversations = first.at("conversations");
    ASSERT_EQ(conversations.size(), outlines.size());
    std::size_t present = 0, missing = 0, replies = 0;
    for (std::size_t index = 0; index < conversations.size(); ++index) {
        const json& conversation = conversations[index];
        EXPECT_EQ(conversation.at("title"), outlines[index].at("title"));
        EXPECT_EQ(conversation.at("messages").size(), outlines[index].at("messages"))
            << conversation.at("title");
        for (const json& message : conversation.at("messages")) {
            if (!message.at("replyTo").is_null()) ++replies;
            for (const json& attachment : message.at("attachments")) {
                if (attachment.at("path").is_null()) {
                    ++missing;
                    continue;
                }
                const fs::path saved =
                    fs::path(destination) / attachment.at("path").get<std::string>();
                EXPECT_TRUE(fs::is_regular_file(saved)) << saved;
                ++present;
            }
        }
    }
    EXPECT_GE(present, 1u);
    EXPECT_GE(missing, 1u);
    EXPECT_GE(replies, 1u);
    if (messages()) {
        // The photo and the voice memo are only in the -wal; reactions sit on their targets.
        const json& chat = conversations[0].at("messages");
        ASSERT_EQ(chat.size(), 7u);
        EXPECT_EQ(chat[1].at("reactions").size(), 1u);
        EXPECT_EQ(chat[0].at("reactions").size(), 1u);
        EXPECT_EQ(chat[3].at("reactions").size(), 0u);
        EXPECT_EQ(chat[5].at("reactions").at(0).at("emoji"), "🎉");
        EXPECT_EQ(chat[2].at("replyTo"), 0);
        EXPECT_FALSE(chat[5].at("attachments").at(0).at("path").is_null());
        EXPECT_TRUE(chat[6].at("attachments").at(0).at("path").is_null());
    }
    // A folder per conversation, with its pages and its text, beside the search's.
    std::size_t folders = 0;
    for (const auto& entry : fs::directory_iterator(destination)) {
        if (!entry.is_directory() || entry.path().filename() == "search") continue;
        ++folders;
        EXPECT_TRUE(fs::is_regular_file(entry.path() / "conversation.txt")) << entry.path();
        bool page = false;
        for (const auto& file : fs::directory_iterator(entry.path()))
            page = page || file.path().extension() == ".html";
        EXPECT_TRUE(page) << entry.path();
    }
    EXPECT_EQ(folders, conversations.size());
    // The second run leaves the same files, none of the first run's besides.
    const auto files = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(destination))
            names.insert(fs::relative(entry.path(), destination));
        return names;
    };
    const auto pages = files();
    EXPECT_EQ(exported(destination), first);
    EXPECT_EQ(files(), pages);
    EXPECT_EQ(test::folderSnapshot(backup()), before);
}

TEST_P(ConversationExportProcess, RefusesAFolderHoldingSomeoneElsesFile) {
    const std::string destination = folder / "mine";
    fs::create_directories(destination);
    test::writeFile(destination + "/notes.txt", "keep me");
    const auto refused = run({destination});
    EXPECT_EQ(refused.status, 2) << refused.err;
    EXPECT_EQ(test::readText(destination + "/notes.txt"), "keep me");
    EXPECT_FALSE(fs::exists(destination + "/index.html"));
}

// A drive that fills up during the export, as a small USB stick does: the export fails with the
// reason, and the earlier export on it stays whole, with nothing of the new one left beside it.
TEST_P(ConversationExportProcess, ADriveThatFillsUpKeepsTheEarlierExport) {
    test::MountedDrive drive{test::DriveFormat::Exfat};
    if (drive.unavailable()) GTEST_SKIP() << "no drive to mount: " << *drive.unavailable();
    const std::string destination = drive.path() + "/export";
    const std::uintmax_t empty = fs::space(drive.path()).available;
    exported(destination);
    const auto earlier = test::folderSnapshot(destination);
    // Room for half of what the export took, so it fails part way, wherever its writes are.
    const std::uintmax_t available = fs::space(drive.path()).available;
    const std::uintmax_t fill = available - (empty - available) / 2;
    test::writeFile(drive.path() + "/filler", std::string(static_cast<std::size_t>(fill), 'f'));

    const auto failed = run({destination});
    EXPECT_NE(failed.status, 0);
    EXPECT_NE(failed.err.find("space"), std::string::npos) << failed.err;
    EXPECT_EQ(test::folderSnapshot(destination), earlier);
    EXPECT_EQ(test::folderSnapshot(drive.path()).size(), earlier.size() + 2)
        << "only the earlier export, its folder and the filler";
}

// WhatsApp and WhatsApp Business in one backup, each exported into a folder of its own, and a
// chat's page as a browser shows it.
TEST(WhatsAppExportProcess, ExportsBothApplicationsApartAndShowsAChatInABrowser) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    for (const WhatsAppApplication& application : {whatsApp, whatsAppBusiness})
        test::writeWhatsAppContainer([&](const std::string& path, const std::string& contents) {
            backup.addManifestDbFile(std::string(application.domain), path, contents);
        });
    const std::string destination = folder / "dest";
    const auto result =
        test::runProcess(SALVORA_CLI_PATH, {"whatsapp", backup.folder(), destination});
    ASSERT_EQ(result.status, 0) << result.err;
    for (const WhatsAppApplication& application : {whatsApp, whatsAppBusiness}) {
        const std::string exported = destination + "/" + std::string(application.service);
        const json chats =
            json::parse(test::readText(exported + "/whatsapp.json")).at("conversations");
        ASSERT_EQ(chats.size(), 4u) << application.service;
        for (const json& chat : chats) EXPECT_EQ(chat.at("service"), application.service);
        EXPECT_EQ(chats[1].at("title"), "Family");
        EXPECT_EQ(chats[1].at("archived"), true);
        EXPECT_EQ(chats[2].at("archived"), false);
        EXPECT_NE(test::readText(exported + "/index.html")
                      .find("Family</a> <span class=\"archived\">archived</span>"),
                  std::string::npos);
    }
    if (!fs::exists("/usr/bin/chromium")) GTEST_SKIP() << "chromium is not installed";
    const auto shown = test::runProcess(
        "/usr/bin/chromium",
        {"--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + folder / "profile",
         "--dump-dom", "file://" + destination + "/WhatsApp%20Business/Family/page-1.html"});
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("Hello from Alan"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(, ConversationExportProcess,
                         ::testing::Values(Case{"messages", false}, Case{"messages", true},
                                           Case{"whatsapp", false}, Case{"whatsapp", true}),
                         [](const auto& info) {
                             return std::string(info.param.command) +
                                    (info.param.encrypted ? "Encrypted" : "Plain");
                         });

}  // namespace
}  // namespace salvora::cli
