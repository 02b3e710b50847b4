// How a modern backup's containers come together under the applications owning them, named
// from Info.plist, Salvora's own table or the identifier.
#include <gtest/gtest.h>

#include "CatalogInspection.h"
#include "catalog/ApplicationNames.h"
#include "catalog/ApplicationOwners.h"
#include "catalog/Catalog.h"
#include "catalog/KnownApplications.h"
#include "support/ModernBackupSample.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::ModernLayout;
using Kind = ApplicationKind;

struct Row {
    std::string name;
    std::string shown;
    std::optional<Kind> kind;
    std::size_t files;
    bool operator==(const Row&) const = default;
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name << " / " << row.shown << " / " << row.files;
}

class ModernGrouping : public ::testing::TestWithParam<ModernLayout> {
  protected:
    ModernGrouping() { test::writeModernSample(backup, GetParam()); }

    std::vector<Row> rows() {
        DeviceRecord device;
        device.directory = backup.folder();
        std::vector<Row> result;
        for (const auto& application : Catalog().buildCatalogForDevice(device))
            result.push_back({application->name, applicationDisplayText(*application, {}),
                              application->kind, application->files.size()});
        return result;
    }

    test::TemporaryFolder folder;
    test::BackupWriter backup{folder.path()};
};

TEST_P(ModernGrouping, OneRowPerOwningApplicationNamedByInfoPlistInTheOrderShown) {
    test::writeApplicationsInfoPlist(backup.folder(), "Phone");
    EXPECT_EQ(rows(), (std::vector<Row>{
                          {"CameraRollDomain", "Camera Roll", Kind::Domain, 1},
                          {"group.com.google.common", "google", Kind::Group, 1},
                          {"com.google.chrome.ios", "Google Chrome", Kind::App, 2},
                          {"HomeDomain", "Home Folder", Kind::Domain, 1},
                          {"com.apple.news.widget", "news", Kind::Plugin, 1},
                          {"com.apple.mobilenotes", "Notes", Kind::App, 1},
                          {"com.apple.podcasts", "Podcasts", Kind::App, 2},
                          {"com.apple.shortcuts", "Shortcuts", Kind::App, 1},
                          {"System Containers", "System Containers", Kind::System, 2},
                          {"net.whatsapp.WhatsApp", "WhatsApp Messenger", Kind::App, 4},
                      }));
}

TEST_P(ModernGrouping, WithoutInfoPlistStoreApplicationsAreNamedByTheirIdentifier) {
    std::vector<std::string> shown;
    for (const Row& row : rows()) shown.push_back(row.shown);
    EXPECT_EQ(shown, (std::vector<std::string>{"Camera Roll", "chrome", "google", "Home Folder",
                                               "news", "Notes", "Podcasts", "Shortcuts",
                                               "System Containers", "WhatsApp"}));
}

TEST_P(ModernGrouping, EveryContainerKeepsItsPlaceApartInTheFullpaths) {
    DeviceRecord device;
    device.directory = backup.folder();
    Catalog().buildCatalog(device);
    const ApplicationRecord& whatsApp =
        test::applicationIn(*device.applications, "net.whatsapp.WhatsApp");
    EXPECT_EQ(test::fullpaths(whatsApp),
              (std::vector<std::optional<std::string>>{
                  "Documents/backup.plist", "Library/Preferences/net.whatsapp.WhatsApp.plist",
                  "App Groups/group.net.whatsapp.WhatsApp.shared/ChatStorage.sqlite",
                  "Extensions/net.whatsapp.WhatsApp.ShareExtension/Library/Preferences/"
                  "share.plist"}));
    EXPECT_EQ(whatsApp.domains,
              (std::vector<std::string>{"AppDomain-net.whatsapp.WhatsApp",
                                        "AppDomainGroup-group.net.whatsapp.WhatsApp.shared",
                                        "AppDomainPlugin-net.whatsapp.WhatsApp.ShareExtension"}));
    EXPECT_EQ(test::fullpaths(test::applicationIn(*device.applications, "System Containers")),
              (std::vector<std::optional<std::string>>{
                  "com.apple.appstored/Library/Caches/store.db",
                  "systemgroup.com.apple.bluetooth/Library/Database/paired.db"}));
}

INSTANTIATE_TEST_SUITE_P(BothModernLayouts, ModernGrouping,
                         ::testing::Values(ModernLayout::ManifestDb,
                                           ModernLayout::UnindexedDatabase));

ContainerDomain container(std::string_view domain) { return containerDomain(domain); }

TEST(ApplicationOwners, GroupsAndExtensionsGoToTheOneApplicationTheyPointAt) {
    const ApplicationOwners owners({container("AppDomain-com.example.a"),
                                    container("AppDomain-com.example.a.pro"),
                                    container("AppDomain-com.example.b")});
    auto owner = [&owners](std::string_view domain) { return owners.ownerOf(container(domain)); };
    EXPECT_EQ(owner("AppDomainGroup-group.com.example.b.shared"),
              (ApplicationOwner{"com.example.b", Kind::App}));
    EXPECT_EQ(owner("AppDomainGroup-ABCDE12345.groups.com.example.b"),
              (ApplicationOwner{"com.example.b", Kind::App}));
    // Several applications, or none.
    EXPECT_EQ(owner("AppDomainGroup-group.com.example"),
              (ApplicationOwner{"group.com.example", Kind::Group}));
    EXPECT_EQ(owner("AppDomainGroup-group.com.example.a.pro.x"),
              (ApplicationOwner{"group.com.example.a.pro.x", Kind::Group}));
    EXPECT_EQ(owner("AppDomainGroup-group.org.other"),
              (ApplicationOwner{"group.org.other", Kind::Group}));
    // The longest application identifier the extension's starts with.
    EXPECT_EQ(owner("AppDomainPlugin-com.example.a.pro.widget"),
              (ApplicationOwner{"com.example.a.pro", Kind::App}));
    EXPECT_EQ(owner("AppDomainPlugin-com.example.apro.widget"),
              (ApplicationOwner{"com.example.apro.widget", Kind::Plugin}));
    EXPECT_EQ(owner("AppDomain-"), (ApplicationOwner{"AppDomain-", Kind::Domain}));
}

TEST(KnownApplications, AReadablePieceSkipsGenericTails) {
    for (const auto& [identifier, piece] : std::vector<std::pair<std::string, std::string>>{
             {"com.google.chrome.ios", "chrome"},
             {"net.whatsapp.WhatsApp.ShareExtension", "WhatsApp"},
             {"group.com.google.common", "google"},
             {"com.example.iPhone.app", "example"},
             {"app.ios", "ios"},
             {"plain", "plain"},
             {"", ""}})
        EXPECT_EQ(readablePiece(identifier), piece) << identifier;
}

TEST(ApplicationNames, IconsAreKeptOnlyWhenTheirFirstBytesSayImage) {
    test::TemporaryFolder folder;
    const std::vector<std::byte> png = test::samplePngIcon();
    const std::vector<std::byte> text = test::bytesOf("not an image at all");
    const std::vector<std::byte> jpeg = test::bytesOf("\xFF\xD8\xFF\xE0 JFIF");
    auto application = [](const std::vector<std::byte>& icon) {
        return test::PlistValue::dictionary({{"PlaceholderIcon", test::PlistValue::data(icon)}});
    };
    test::PlistValue::dictionary(
        {{"Applications", test::PlistValue::dictionary({{"png", application(png)},
                                                        {"text", application(text)},
                                                        {"jpeg", application(jpeg)}})}})
        .write(folder / "Info.plist", test::PlistFormat::Binary);
    const ApplicationIcons icons = readApplicationIcons(folder.path());
    EXPECT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons.at("png"), png);
    EXPECT_TRUE(icons.contains("jpeg"));
    EXPECT_TRUE(readApplicationIcons(folder / "missing").empty());
}

TEST(ApplicationNames, AnInfoPlistThatSaysNothingUsableLeavesTheNamesSalvoraKnows) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder.path());
    backup.addManifestDbFile("AppDomain-com.google.chrome.ios", "a", "1");
    const test::PlistValue wrongKind =
        test::PlistValue::dictionary({{"iTunesMetadata", test::PlistValue::string("itemName")}});
    for (const test::PlistValue& info :
         {test::PlistValue::string("no dictionary"),
          test::PlistValue::dictionary({{"Applications", test::PlistValue::array()}}),
          test::PlistValue::dictionary(
              {{"Applications",
                test::PlistValue::dictionary({{"com.google.chrome.ios", wrongKind}})}})}) {
        info.write(folder / "Info.plist", test::PlistFormat::Xml);
        DeviceRecord device;
        device.directory = folder.path();
        EXPECT_EQ(Catalog().buildCatalogForDevice(device).at(0)->displayName, "chrome");
    }
}

}  // namespace
}  // namespace salvora
