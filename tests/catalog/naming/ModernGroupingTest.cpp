// How a modern backup's containers come together under the applications owning them, named
// from Info.plist, Salvora's own table or the identifier.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/Catalog.h"
#include "catalog/naming/ApplicationOwners.h"
#include "support/CatalogInspection.h"
#include "support/ModernBackupSample.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using Kind = ApplicationKind;
using Paths = std::vector<std::optional<std::string>>;

class ModernGrouping : public ::testing::TestWithParam<test::ModernLayout> {
  protected:
    ModernGrouping() { test::writeModernSample(backup, GetParam()); }

    // Each application as "name / text shown / kind / files", in catalogue order.
    std::vector<std::string> rows() {
        std::vector<std::string> result;
        for (const auto& application : Catalog().buildCatalogForDevice(device))
            result.push_back(application->name + " / " + applicationDisplayText(*application, {}) +
                             " / " + std::to_string(int(application->kind.value())) + " / " +
                             std::to_string(application->files.size()));
        return result;
    }

    test::TemporaryFolder folder;
    test::BackupWriter backup{folder.path()};
    DeviceRecord device{std::nullopt, std::nullopt, folder.path(), nullptr};
};

TEST_P(ModernGrouping, OneRowPerOwningApplicationNamedAndOrderedAsShown) {
    test::writeApplicationsInfoPlist(backup.folder(), "Phone");
    EXPECT_EQ(
        rows(),
        (std::vector<std::string>{
            "CameraRollDomain / Camera Roll / 4 / 1",
            "group.com.google.common / Google (shared) / 1 / 1",
            "com.google.chrome.ios / Google Chrome / 0 / 2", "HomeDomain / Home Folder / 4 / 1",
            "com.apple.mobilenotes / Notes / 0 / 1", "com.apple.podcasts / Podcasts / 0 / 2",
            "com.apple.shortcuts / Shortcuts / 0 / 1",
            "System Containers / System Containers / 3 / 3",
            "net.whatsapp.WhatsApp / WhatsApp Messenger / 0 / 4"}));
    // Without Info.plist, or one that says nothing usable, the names Salvora knows.
    for (const std::string info : {"", "<plist><string>no dictionary</string></plist>"}) {
        std::filesystem::remove(backup / "Info.plist");
        if (!info.empty()) test::writeFile(backup / "Info.plist", info);
        const std::vector<std::string> shown = rows();
        EXPECT_EQ(shown[1], "com.google.chrome.ios / Chrome / 0 / 2");
        EXPECT_EQ(shown[8], "net.whatsapp.WhatsApp / WhatsApp / 0 / 4");
    }
}

TEST_P(ModernGrouping, EveryContainerKeepsItsPlaceApartInTheFullpaths) {
    Catalog().buildCatalogForDevice(device);
    const ApplicationRecord& whatsApp =
        test::applicationIn(*device.applications, "net.whatsapp.WhatsApp");
    EXPECT_EQ(whatsApp.files.at(2).fullpath(),
              "App Groups/group.net.whatsapp.WhatsApp.shared/ChatStorage.sqlite");
    EXPECT_EQ(whatsApp.domains.at(2), "AppDomainPlugin-net.whatsapp.WhatsApp.ShareExtension");
    EXPECT_EQ(test::fullpaths(test::applicationIn(*device.applications, "System Containers")),
              (Paths{"Extensions/com.apple.news.widget/Library/Caches/news.db",
                     "com.apple.appstored/Library/store.db",
                     "systemgroup.com.apple.bluetooth/Library/paired.db"}));
}

INSTANTIATE_TEST_SUITE_P(BothModernLayouts, ModernGrouping,
                         ::testing::Values(test::ModernLayout::ManifestDb,
                                           test::ModernLayout::UnindexedDatabase));

TEST(ApplicationOwners, GroupsAndExtensionsGoToTheOneApplicationTheyPointAt) {
    const ApplicationOwners owners({containerDomain("AppDomain-com.example.a"),
                                    containerDomain("AppDomain-com.example.a.pro"),
                                    containerDomain("AppDomain-com.example.b")});
    for (const auto& [domain, owner] : std::vector<std::pair<std::string, ApplicationOwner>>{
             {"AppDomainGroup-ABCDE12345.groups.com.example.b", {"com.example.b", Kind::App}},
             // Pointing at several applications, or at none.
             {"AppDomainGroup-group.com.example", {"group.com.example", Kind::Group}},
             {"AppDomainGroup-group.com.example.a.pro.x",
              {"group.com.example.a.pro.x", Kind::Group}},
             {"AppDomainPlugin-com.example.a.pro.widget", {"com.example.a.pro", Kind::App}},
             {"AppDomainPlugin-com.example.apro.widget", {"com.example.apro", Kind::Plugin}},
             {"AppDomain-", {"AppDomain-", Kind::Domain}}})
        EXPECT_EQ(owners.ownerOf(containerDomain(domain)), owner) << domain;
}

}  // namespace
}  // namespace salvora
