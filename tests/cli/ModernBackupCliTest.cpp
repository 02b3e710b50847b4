// The real salvora-cli process on a modern backup: applications by the names their owner
// knows, and an application saved with every container it gathers.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>

#include "support/ModernBackupSample.h"
#include "support/ProcessRun.h"

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

TEST_F(ModernBackupCli, ListsByIdentifierAndSavesByTheNameShownEveryContainerApart) {
    const auto text = salvoraCli({"apps", backup.folder()});
    EXPECT_TRUE(
        text.out.starts_with("CameraRollDomain\tCamera Roll\t1\n"
                             "group.com.google.common\tGoogle (shared)\t1\n"))
        << text.out;
    EXPECT_TRUE(text.out.ends_with("net.whatsapp.WhatsApp\tWhatsApp Messenger\t4\n")) << text.out;
    const auto listed = nlohmann::json::parse(salvoraCli({"apps", backup.folder(), "--json"}).out);
    EXPECT_EQ(listed[7]["kind"], "system");
    EXPECT_EQ(listed[8]["kind"], "app");
    EXPECT_EQ(listed[8]["domains"].size(), 3u);

    const auto saved =
        salvoraCli({"extract", backup.folder(), "WhatsApp Messenger", destination / "wa"});
    EXPECT_EQ(saved.out, "Saved 4 files, 0 failed\n") << saved.err;
    for (const auto& [path, contents] : std::vector<std::pair<std::string, std::string>>{
             {"Documents/backup.plist", "wa-backup"},
             {"App Groups/group.net.whatsapp.WhatsApp.shared/ChatStorage.sqlite", "chats"},
             {"Extensions/net.whatsapp.WhatsApp.ShareExtension/Library/share.plist", "share"}})
        EXPECT_EQ(test::readText(destination / "wa/" + path), contents);
}

TEST_F(ModernBackupCli, ANameShownForSeveralApplicationsNamesNone) {
    backup.addManifestDbFile("AppDomain-org.other.chrome", "a", "other");
    EXPECT_EQ(salvoraCli({"files", backup.folder(), "Chrome"}).status, 0);
    std::filesystem::remove(backup / "Info.plist");
    const auto shared = salvoraCli({"files", backup.folder(), "Chrome"});
    EXPECT_EQ(shared.status, 2);
    EXPECT_EQ(shared.err,
              "salvora-cli: several applications are shown as \"Chrome\" (com.google.chrome.ios, "
              "org.other.chrome); give one of their names\n");
}

}  // namespace
}  // namespace salvora
