// The real salvora-cli process on a modern backup: applications by the names their owner
// knows, and an application saved with every container it gathers.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "cli/ProcessRun.h"
#include "support/ModernBackupSample.h"

namespace salvora {
namespace {

test::ProcessResult salvoraCli(const std::vector<std::string>& args) {
    return test::runProcess(SALVORA_CLI_PATH, args);
}

class ModernBackupCli : public ::testing::Test {
  protected:
    void SetUp() override {
        test::writeModernSample(backup, test::ModernLayout::ManifestDb);
        test::writeApplicationsInfoPlist(backup.folder(), "Phone");
    }

    test::TemporaryFolder folder;
    test::BackupWriter backup{folder / "backup"};
    test::TemporaryFolder destination;
};

TEST_F(ModernBackupCli, ApplicationsAreListedByIdentifierWithTheNameShownAndWhatTheyGather) {
    const auto text = salvoraCli({"apps", backup.folder()});
    EXPECT_EQ(text.status, 0) << text.err;
    EXPECT_EQ(text.out,
              "CameraRollDomain\tCamera Roll\t1\n"
              "group.com.google.common\tgoogle\t1\n"
              "com.google.chrome.ios\tGoogle Chrome\t2\n"
              "HomeDomain\tHome Folder\t1\n"
              "com.apple.news.widget\tnews\t1\n"
              "com.apple.mobilenotes\tNotes\t1\n"
              "com.apple.podcasts\tPodcasts\t2\n"
              "com.apple.shortcuts\tShortcuts\t1\n"
              "System Containers\tSystem Containers\t2\n"
              "net.whatsapp.WhatsApp\tWhatsApp Messenger\t4\n");

    const auto json = salvoraCli({"apps", backup.folder(), "--json"});
    const auto listed = nlohmann::json::parse(json.out);
    EXPECT_EQ(listed[1]["kind"], "group");
    EXPECT_EQ(listed[8]["kind"], "system");
    EXPECT_EQ(listed[9], nlohmann::json::parse(R"({"name": "net.whatsapp.WhatsApp",
                  "displayName": "WhatsApp Messenger", "files": 4, "kind": "app",
                  "domains": ["AppDomain-net.whatsapp.WhatsApp",
                              "AppDomainGroup-group.net.whatsapp.WhatsApp.shared",
                              "AppDomainPlugin-net.whatsapp.WhatsApp.ShareExtension"]})"));
}

TEST_F(ModernBackupCli, SavingAnApplicationByItsShownNameWritesEveryContainerApart) {
    const auto saved =
        salvoraCli({"extract", backup.folder(), "WhatsApp Messenger", destination / "wa"});
    EXPECT_EQ(saved.status, 0) << saved.err;
    EXPECT_EQ(saved.out, "Saved 4 files, 0 failed\n");
    EXPECT_EQ(test::readText(destination / "wa/Documents/backup.plist"), "wa-backup");
    EXPECT_EQ(test::readText(destination / "wa/Library/Preferences/net.whatsapp.WhatsApp.plist"),
              "wa-prefs");
    EXPECT_EQ(test::readText(destination /
                             "wa/App Groups/group.net.whatsapp.WhatsApp.shared/ChatStorage.sqlite"),
              "chats");
    EXPECT_EQ(test::readText(destination / "wa/Extensions/net.whatsapp.WhatsApp.ShareExtension/"
                                           "Library/Preferences/share.plist"),
              "share");
}

TEST_F(ModernBackupCli, AShownNameThatSeveralApplicationsShareIsNoApplication) {
    backup.addManifestDbFile("AppDomain-org.other.chrome", "a", "other");
    const auto files = salvoraCli({"files", backup.folder(), "chrome"});
    EXPECT_EQ(files.status, 0) << "Info.plist names one of them";
    std::filesystem::remove(backup / "Info.plist");
    const auto shared = salvoraCli({"files", backup.folder(), "chrome"});
    EXPECT_EQ(shared.status, 2);
    EXPECT_EQ(shared.err,
              "salvora-cli: several applications are shown as \"chrome\" (com.google.chrome.ios, "
              "org.other.chrome); give one of their names\n");
}

}  // namespace
}  // namespace salvora
