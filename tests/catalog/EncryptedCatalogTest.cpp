// Encrypted backups in the catalogue: recognised without their password, read with it, and
// read from memory only.
#include <gtest/gtest.h>

#include "catalog/Catalog.h"
#include "crypto/BackupEncryption.h"
#include "support/CatalogInspection.h"
#include "support/DecryptedBackup.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"

namespace salvora {
namespace {
using test::DecryptedBackup;
using test::DecryptedCatalogue;
using test::EncryptedBackup;
using test::EncryptedCatalogue;
using test::FixtureKeybag;
using test::KeyDerivationVariant;
using test::needsPassword;
using test::ManifestPlistLeft;

struct Variant {
    EncryptedCatalogue catalogue;
    KeyDerivationVariant derivation;
};

std::string variantName(const testing::TestParamInfo<Variant>& info) {
    const char* catalogues[] = {"EncryptedManifestDb", "PlainManifestDb", "UnindexedDatabase"};
    return std::string(catalogues[static_cast<int>(info.param.catalogue)]) +
           (info.param.derivation == KeyDerivationVariant::SaltOnly ? "SaltOnly" : "PreDerivation");
}

class EncryptedCatalog : public testing::TestWithParam<Variant> {
  protected:
    FixtureKeybag keybagOfVariant() {
        FixtureKeybag keybag;
        keybag.variant = GetParam().derivation;
        return keybag;
    }

    test::TemporaryFolder folder;
    EncryptedBackup backup{folder / "backup", GetParam().catalogue, keybagOfVariant()};
    DeviceRecord device{"Phone", std::nullopt, backup.folder(), nullptr};
    Catalog catalog;
};

TEST_P(EncryptedCatalog, NeedsThePasswordThenListsEveryFileWithWhatRecoveryNeeds) {
    const std::string notes =
        backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha", 1'500'000'000);
    backup.addFile({.domain = "HomeDomain",
                    .path = "Library/SMS/sms.db",
                    .contents = "bravo",
                    .protectionClass = 2});
    const auto before = test::folderSnapshot(backup.folder());

    Result<ApplicationList> locked = catalog.buildCatalog(device);
    ASSERT_FALSE(locked);
    EXPECT_EQ(locked.error().kind, ErrorKind::NeedsPassword);
    ASSERT_TRUE(device.applications);
    EXPECT_TRUE(device.applications->empty());
    EXPECT_TRUE(catalog.buildCatalogForDevice(device).empty());

    Status wrong = catalog.unlockBackup(backup.folder(), "not the password");
    ASSERT_FALSE(wrong);
    EXPECT_EQ(wrong.error().kind, ErrorKind::WrongPassword);
    EXPECT_FALSE(catalog.keybagFor(backup.folder()));
    EXPECT_TRUE(needsPassword(catalog.buildCatalog(device)));

    EXPECT_TRUE(catalog.unlockBackup(backup.folder(), backup.keybag().password));
    ASSERT_TRUE(catalog.keybagFor(backup.folder()));
    Result<ApplicationList> build = catalog.buildCatalog(device);
    ASSERT_TRUE(build) << build.error().description();
    ASSERT_EQ(build->size(), 2u);
    const ApplicationRecord& application =
        test::applicationIn(*device.applications, "com.example.notes");
    ASSERT_EQ(application.files.size(), 1u);
    const FileRecord& file = application.files[0];
    EXPECT_EQ(file.name(), notes);
    EXPECT_EQ(file.fullpath(), "Documents/a.txt");
    EXPECT_EQ(file.size(), 5u);
    EXPECT_EQ(file.modificationTime(), 1'500'000'000);
    ASSERT_TRUE(file.encryptionKey());
    EXPECT_TRUE(catalog.keybagFor(backup.folder())->unwrapKey(*file.encryptionKey()));
    EXPECT_EQ(test::applicationIn(*device.applications, "HomeDomain").files[0].size(), 5u);

    // Nothing was written beside the backup, not even the decrypted catalogue.
    EXPECT_EQ(test::folderSnapshot(backup.folder()), before);
}

INSTANTIATE_TEST_SUITE_P(
    EveryCatalogue, EncryptedCatalog,
    testing::Values(
        Variant{EncryptedCatalogue::EncryptedManifestDb, KeyDerivationVariant::PreDerivation},
        Variant{EncryptedCatalogue::EncryptedManifestDb, KeyDerivationVariant::SaltOnly},
        Variant{EncryptedCatalogue::PlainManifestDb, KeyDerivationVariant::PreDerivation},
        Variant{EncryptedCatalogue::UnindexedDatabase, KeyDerivationVariant::SaltOnly}),
    variantName);

DeviceRecord deviceAt(const std::string& directory) {
    return {"Phone", std::nullopt, directory, {}};
}

TEST(EncryptedCatalogFlag, AnEncryptedDatabaseNeedsThePasswordWhateverTheFlagSays) {
    test::TemporaryFolder folder;
    EncryptedBackup backup(folder.path(), EncryptedCatalogue::EncryptedManifestDb, {},
                           {.isEncrypted = false});
    backup.addFile("HomeDomain", "a.txt", "alpha");
    DeviceRecord device = deviceAt(folder.path());
    Catalog catalog;
    EXPECT_TRUE(needsPassword(catalog.buildCatalog(device)));
    EXPECT_TRUE(catalog.unlockBackup(folder.path(), backup.keybag().password));
    EXPECT_EQ(catalog.buildCatalogForDevice(device).size(), 1u);
}

TEST(EncryptedCatalogFlag, AnUnpaddedEncryptedDatabaseIsRead) {
    test::TemporaryFolder folder;
    EncryptedBackup backup(folder.path(), EncryptedCatalogue::EncryptedManifestDb, {},
                           {.padManifestDb = false});
    backup.addFile("HomeDomain", "a.txt", "alpha");
    DeviceRecord device = deviceAt(folder.path());
    Catalog catalog;
    EXPECT_TRUE(catalog.unlockBackup(folder.path(), backup.keybag().password));
    Result<ApplicationList> build = catalog.buildCatalog(device);
    EXPECT_TRUE(build) << build.error().description();
    EXPECT_EQ(test::fileCount(*device.applications), 1u);
}

// Backups that other tools decrypted keep every record's key, and a "Manifest.plist" that is
// gone, says the backup is plain, or is as it was: each is read as the plain backup it is.
class DecryptedBackupTest : public testing::TestWithParam<test::DecryptedTrace> {};

TEST_P(DecryptedBackupTest, IsReadAsPlainWithItsKeysKept) {
    test::TemporaryFolder folder;
    DecryptedBackup backup(folder.path(), GetParam());
    backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "alpha");
    backup.addFile("KeychainDomain", "keychain-backup.plist", "bravo");
    DeviceRecord device = deviceAt(folder.path());
    Catalog catalog;
    Result<ApplicationList> build = catalog.buildCatalog(device);
    EXPECT_TRUE(build) << build.error().description();
    ASSERT_EQ(test::fileCount(*device.applications), 2u);
    EXPECT_TRUE(
        test::applicationIn(*device.applications, "com.example.notes").files[0].encryptionKey());
    EXPECT_FALSE(judgeBackupProtection(folder.path()).isEncrypted());
    Status unlock = catalog.unlockBackup(folder.path(), FixtureKeybag{}.password);
    ASSERT_FALSE(unlock);
    EXPECT_EQ(unlock.error().reason, "The backup is not encrypted");
}

INSTANTIATE_TEST_SUITE_P(EveryTrace, DecryptedBackupTest,
                         testing::ValuesIn(test::everyDecryptedTrace()), test::traceName);

TEST(EncryptedCatalogFlag, ADamagedDatabaseWithoutWordOfEncryptionIsPassedOver) {
    test::TemporaryFolder folder;
    test::writeFile(folder / "Manifest.db", "neither SQLite nor encrypted");
    DeviceRecord device = deviceAt(folder.path());
    Result<ApplicationList> build = Catalog().buildCatalog(device);
    ASSERT_TRUE(build) << build.error().description();
    EXPECT_TRUE(build->empty());
}

struct BrokenBackup {
    const char* name;
    std::function<void(const std::string& folder)> write;
    bool unlocks;        // whether the password opens it
    std::string reason;  // the build's error, once unlocked when it unlocks
};

void PrintTo(const BrokenBackup& backup, std::ostream* out) { *out << backup.name; }

class BrokenEncryptedBackup : public testing::TestWithParam<BrokenBackup> {};

TEST_P(BrokenEncryptedBackup, SaysWhyItListsNothing) {
    test::TemporaryFolder folder;
    GetParam().write(folder.path());
    DeviceRecord device = deviceAt(folder.path());
    Catalog catalog;
    Result<ApplicationList> build = catalog.buildCatalog(device);
    if (GetParam().unlocks) {
        ASSERT_TRUE(needsPassword(build));
        EXPECT_TRUE(catalog.unlockBackup(folder.path(), FixtureKeybag{}.password));
        build = catalog.buildCatalog(device);
    }
    ASSERT_FALSE(build);
    EXPECT_FALSE(needsPassword(build));
    EXPECT_NE(build.error().reason.find(GetParam().reason), std::string::npos)
        << build.error().reason;
    EXPECT_TRUE(device.applications->empty());
}

void encryptedWith(const std::string& folder, test::ManifestOptions options,
                   FixtureKeybag keybag = {}) {
    EncryptedBackup backup(folder, EncryptedCatalogue::EncryptedManifestDb, std::move(keybag),
                           std::move(options));
    backup.addFile("HomeDomain", "a.txt", "alpha");
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenEncryptedBackup,
    testing::Values(
        BrokenBackup{
            "ManifestKeyTampered",
            [](const std::string& folder) { encryptedWith(folder, {.tamperManifestKey = true}); },
            true, "The key wrapped with protection class 4 is damaged"},
        BrokenBackup{"ManifestClassKeyTampered",
                     [](const std::string& folder) {
                         FixtureKeybag keybag;
                         keybag.tamperedClasses = {4};
                         encryptedWith(folder, {}, keybag);
                     },
                     true, "The keybag has no key for protection class 4"},
        BrokenBackup{"NoManifestKey",
                     [](const std::string& folder) {
                         encryptedWith(folder, {});
                         test::PlistValue::dictionary(
                             {{"IsEncrypted", test::PlistValue::boolean(true)},
                              {"BackupKeyBag", test::PlistValue::data(FixtureKeybag{}.encode())}})
                             .write(folder + "/Manifest.plist", test::PlistFormat::Binary);
                     },
                     true, "\"Manifest.plist\" holds no ManifestKey"},
        BrokenBackup{"DatabaseCutMidBlock",
                     [](const std::string& folder) {
                         encryptedWith(folder, {});
                         auto stored = test::readBytes(folder + "/Manifest.db");
                         stored.resize(stored.size() - 5);
                         test::writeFile(folder + "/Manifest.db", stored);
                     },
                     true, "is not a whole number of 16-byte blocks"},
        BrokenBackup{"NoKeybag",
                     [](const std::string& folder) {
                         encryptedWith(folder, {});
                         test::PlistValue::dictionary(
                             {{"IsEncrypted", test::PlistValue::boolean(true)}})
                             .write(folder + "/Manifest.plist", test::PlistFormat::Binary);
                     },
                     false, "It holds no BackupKeyBag"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora
