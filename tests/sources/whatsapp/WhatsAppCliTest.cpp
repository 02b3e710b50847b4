// salvora-cli whatsapp --list, run in-process over a backup holding both WhatsApp and WhatsApp
// Business.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>

#include "cli/Cli.h"
#include "sources/whatsapp/BackupWhatsApp.h"
#include "support/BackupWriter.h"
#include "support/ChatStorageWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora::cli {
namespace {

TEST(WhatsAppCli, ListsTheChatsOfBothApplicationsAsJson) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    for (const WhatsAppApplication& application : {whatsApp, whatsAppBusiness})
        test::writeWhatsAppContainer([&](const std::string& path, const std::string& contents) {
            backup.addManifestDbFile(std::string(application.domain), path, contents);
        });
    std::ostringstream out, err;
    ASSERT_EQ(run({"whatsapp", backup.folder(), "--list", "--json"}, out, err), Success)
        << err.str();
    EXPECT_EQ(err.str(), "");
    const auto list = nlohmann::json::parse(out.str()).at("conversations");
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list[0]["service"], "WhatsApp");
    EXPECT_EQ(list[4]["service"], "WhatsApp Business");
    EXPECT_EQ(list[1]["title"], "Family");
    EXPECT_EQ(list[1]["messages"], 4);
    EXPECT_EQ(list[1]["participants"][0],
              (nlohmann::json{{"handle", "+4917611111111"}, {"name", "Grace"}}));
    EXPECT_EQ(list[2]["firstDate"], "2023-03-08T21:27:40+01:00");
    EXPECT_EQ(list[1]["archived"], true);
    EXPECT_EQ(list[2]["archived"], false);
    // Someone met only in calls has neither a chat nor a name.
    EXPECT_EQ(list[3]["participants"][0]["name"], nullptr);
    EXPECT_EQ(list[3]["archived"], false);

    std::ostringstream lines, none;
    ASSERT_EQ(run({"whatsapp", backup.folder(), "--list"}, lines, none), Success);
    // The lines say what the JSON says, a tab between each.
    const auto& first = list[0];
    EXPECT_EQ(lines.str().substr(0, lines.str().find('\n')),
              first["title"].get<std::string>() + "\tWhatsApp\t" +
                  first["participants"][0]["name"].get<std::string>() + "\t" +
                  std::to_string(first["messages"].get<int>()) + "\t" +
                  first["firstDate"].get<std::string>() + "\t" +
                  first["lastDate"].get<std::string>());
}

TEST(WhatsAppCli, NeedsADestinationOrTheListAndABackupWithChats) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("HomeDomain", "Library/a.txt", "a");
    std::ostringstream out, err;
    EXPECT_EQ(run({"whatsapp", backup.folder()}, out, err), UsageError);
    EXPECT_EQ(run({"whatsapp", backup.folder(), "out", "--since", "2024-13-01"}, out, err),
              UsageError);
    std::ostringstream listed, complaint;
    EXPECT_EQ(run({"whatsapp", backup.folder(), "--list"}, listed, complaint), UsageError);
    EXPECT_EQ(complaint.str(),
              "salvora-cli: no WhatsApp chats (ChatStorage.sqlite) in this backup\n");
}

}  // namespace
}  // namespace salvora::cli
