#include "catalog/StoredFileLookup.h"

#include <gtest/gtest.h>

#include "catalog/Catalog.h"
#include "support/CliBackups.h"
#include "support/EncryptedBackup.h"

namespace salvora {
namespace {
using test::Layout;

struct StoredPlace {
    std::string domain;
    std::string path;
};

// Messages, photos and WhatsApp's chats with their logs, WhatsApp's own container (so that
// the grouping files its group under it), and a group of the same last piece.
const std::vector<StoredPlace> places{
    {"HomeDomain", "Library/SMS/sms.db"},
    {"HomeDomain", "Library/SMS/sms.db-wal"},
    {"CameraRollDomain", "Media/PhotoData/Photos.sqlite"},
    {"AppDomain-net.whatsapp.WhatsApp", "Library/Preferences/net.whatsapp.WhatsApp.plist"},
    {"AppDomainGroup-group.net.whatsapp.WhatsApp.shared", "ChatStorage.sqlite"},
    {"AppDomainGroup-group.net.whatsapp.WhatsApp.shared", "ChatStorage.sqlite-wal"},
    {"AppDomainGroup-group.org.example.shared", "ChatStorage.sqlite"},
};

// Every layout, and Manifest.db encrypted (absent: the layout as it is).
using Way = std::optional<Layout>;

class StoredFileLookup : public testing::TestWithParam<Way> {
  protected:
    // Writes every place in the way and returns the stored names, in the same order.
    std::vector<std::string> write() {
        std::vector<std::string> names;
        test::EncryptedBackup* encrypted = nullptr;
        std::optional<test::EncryptedBackup> locked;
        if (!GetParam()) encrypted = &locked.emplace(folder.path());
        test::BackupWriter backup(folder.path());
        for (const auto& [domain, path] : places) {
            const std::string contents = domain + "-" + path;
            const std::string number = std::to_string(names.size());
            switch (GetParam().value_or(Layout::ManifestDb)) {
                case Layout::ManifestDatabase:
                    names.push_back(backup.addManifestDatabaseFile(domain, path, contents));
                    break;
                case Layout::UnindexedDatabase:
                    names.push_back(backup.addUnindexedDatabaseFile(domain, path, contents));
                    break;
                case Layout::Mdbackup:
                    names.push_back(backup.addMdbackupFile(number + ".mdbackup", path, contents));
                    break;
                case Layout::Mdinfo:
                    names.push_back(backup.addMdinfoFile(number + ".mdinfo",
                                                         test::mdinfo(domain, path), contents));
                    break;
                case Layout::ManifestDb:
                    names.push_back(encrypted ? encrypted->addFile(domain, path, contents)
                                              : backup.addManifestDbFile(domain, path, contents));
                    break;
            }
        }
        if (encrypted) {
            EXPECT_TRUE(catalog.unlockBackup(folder.path(), encrypted->keybag().password));
        }
        catalog.buildCatalog(device);
        return names;
    }

    test::TemporaryFolder folder;
    DeviceRecord device{"Phone", std::nullopt, folder.path(), nullptr};
    Catalog catalog;
};

TEST_P(StoredFileLookup, FindsEveryFileByItsDomainAndPathAndNothingElse) {
    const std::vector<std::string> names = write();
    const ApplicationMap& applications = *device.applications;
    // ".mdbackup" lists keep no domain: the last group's file lies at the first one's path.
    const bool keepsDomains = GetParam() != Layout::Mdbackup;
    for (std::size_t index = 0; index < places.size() - (keepsDomains ? 0 : 1); ++index) {
        const auto found = findStoredFile(applications, places[index].domain, places[index].path);
        ASSERT_TRUE(found) << places[index].domain << " " << places[index].path;
        EXPECT_EQ(found->name(), names[index]) << places[index].path;
    }
    EXPECT_FALSE(findStoredFile(applications, "HomeDomain", "Library/SMS/other.db"));
    EXPECT_FALSE(findStoredFile(applications, "HomeDomain", "Library/SMS"));
    if (keepsDomains) {
        EXPECT_FALSE(findStoredFile(applications, "MediaDomain", places[0].path));
    }
}

INSTANTIATE_TEST_SUITE_P(EveryLayout, StoredFileLookup,
                         testing::Values(Way{Layout::ManifestDatabase},
                                         Way{Layout::UnindexedDatabase}, Way{Layout::Mdbackup},
                                         Way{Layout::Mdinfo}, Way{Layout::ManifestDb}, Way{}),
                         [](const auto& info) {
                             return info.param ? test::layoutName(*info.param)
                                               : std::string("EncryptedManifestDb");
                         });

}  // namespace
}  // namespace salvora
