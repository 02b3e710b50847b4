#include "catalog/StoredFileLookup.h"

#include <gtest/gtest.h>

#include "catalog/Catalog.h"
#include "support/CliBackups.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::Layout;

// Messages and photos with a log, WhatsApp's own container (the grouping files its group
// under it) and its group's chats, and another group of the same last piece. The last lies at
// the same path as the one before: ".mdbackup" lists, which keep no domain, can't hold both.
const std::vector<std::pair<std::string, std::string>> places{
    {"HomeDomain", "Library/SMS/sms.db"},
    {"HomeDomain", "Library/SMS/sms.db-wal"},
    {"CameraRollDomain", "Media/PhotoData/Photos.sqlite"},
    {"AppDomain-net.whatsapp.WhatsApp", "Library/Preferences/net.whatsapp.WhatsApp.plist"},
    {"AppDomainGroup-group.net.whatsapp.WhatsApp.shared", "ChatStorage.sqlite-wal"},
    {"AppDomainGroup-group.net.whatsapp.WhatsApp.shared", "ChatStorage.sqlite"},
    {"AppDomainGroup-group.org.example.shared", "ChatStorage.sqlite"},
};

class StoredFileLookup : public testing::TestWithParam<Layout> {};

TEST_P(StoredFileLookup, FindsEveryFileByItsDomainAndPathAndNothingElse) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder.path());
    const bool keepsDomains = GetParam() != Layout::Mdbackup;
    std::vector<std::string> names;
    for (std::size_t index = 0; index < places.size() - (keepsDomains ? 0 : 1); ++index) {
        const auto& [domain, path] = places[index];
        const std::string number = std::to_string(index);
        names.push_back(
            GetParam() == Layout::ManifestDatabase
                ? backup.addManifestDatabaseFile(domain, path, "")
            : GetParam() == Layout::UnindexedDatabase
                ? backup.addUnindexedDatabaseFile(domain, path, "")
            : GetParam() == Layout::Mdbackup
                ? backup.addMdbackupFile(number + ".mdbackup", path, "")
            : GetParam() == Layout::Mdinfo
                ? backup.addMdinfoFile(number + ".mdinfo", test::mdinfo(domain, path), "")
                : backup.addManifestDbFile(domain, path, ""));
    }
    DeviceRecord device{"Phone", std::nullopt, folder.path(), nullptr};
    Catalog().buildCatalogForDevice(device);
    for (std::size_t index = 0; index < names.size(); ++index) {
        const auto found =
            findStoredFile(*device.applications, places[index].first, places[index].second);
        EXPECT_EQ(found ? found->name() : "absent", names[index]) << places[index].second;
    }
    EXPECT_NE(findStoredFile(*device.applications, "MediaDomain", places[0].second).has_value(),
              keepsDomains);
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, StoredFileLookup,
                         testing::Values(Layout::ManifestDatabase, Layout::UnindexedDatabase,
                                         Layout::Mdbackup, Layout::Mdinfo, Layout::ManifestDb),
                         [](const auto& info) { return test::layoutName(info.param); });

}  // namespace
}  // namespace salvora
