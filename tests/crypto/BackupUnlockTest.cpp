#include "crypto/BackupUnlock.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>

#include "crypto/BackupEncryption.h"
#include "support/EncryptedBackupWriter.h"
#include "support/PlistValue.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::Bytes;
using test::FixtureKeybag;
using test::ManifestOptions;
using test::TemporaryFolder;

// A real SQLite database with one row, as the bytes of its file.
Bytes databaseBytes(const TemporaryFolder& folder) {
    const std::string path = folder / "source.db";
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db,
                           "CREATE TABLE Files (fileID TEXT, relativePath TEXT);"
                           "INSERT INTO Files VALUES ('0123', 'Library/Notes.txt');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    return test::readBytes(path);
}

// Opens the bytes in memory, the way the catalogue does, and reads the one path back.
std::string pathStoredIn(Bytes& bytes) {
    sqlite3* db = nullptr;
    sqlite3_open(":memory:", &db);
    std::string path;
    if (sqlite3_deserialize(db, "main", reinterpret_cast<unsigned char*>(bytes.data()),
                            static_cast<sqlite3_int64>(bytes.size()),
                            static_cast<sqlite3_int64>(bytes.size()),
                            SQLITE_DESERIALIZE_READONLY) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "SELECT relativePath FROM Files", -1, &statement, nullptr);
        if (sqlite3_step(statement) == SQLITE_ROW)
            path = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return path;
}

// Tools that re-encrypt a backup leave the padding out, and an unpadded database may end in
// bytes that look like padding.
enum class DatabaseEnd { Padded, Unpadded, UnpaddedEndingLikePadding };

class DatabaseEndTest : public testing::TestWithParam<DatabaseEnd> {};

TEST_P(DatabaseEndTest, PasswordGivesTheDatabaseInMemory) {
    TemporaryFolder folder;
    FixtureKeybag keybag;
    Bytes database = databaseBytes(folder);
    if (GetParam() == DatabaseEnd::UnpaddedEndingLikePadding) database.back() = std::byte{1};
    test::writeEncryptedManifest(folder.path(), keybag, database,
                                 {.padManifestDb = GetParam() == DatabaseEnd::Padded});
    const Bytes stored = test::readBytes(folder / "Manifest.db");

    ASSERT_FALSE(isSQLiteDatabase(folder / "Manifest.db"));
    auto unlocked = unlockBackup(folder.path(), keybag.password);
    ASSERT_TRUE(unlocked);
    auto plaintext = decryptManifestDb(folder.path(), *unlocked);
    ASSERT_TRUE(plaintext) << plaintext.error().description();
    EXPECT_EQ(*plaintext, database);
    if (GetParam() != DatabaseEnd::UnpaddedEndingLikePadding) {
        EXPECT_EQ(pathStoredIn(*plaintext), "Library/Notes.txt");
    }
    EXPECT_EQ(test::readBytes(folder / "Manifest.db"), stored);  // the backup is untouched
}

INSTANTIATE_TEST_SUITE_P(EveryEnd, DatabaseEndTest,
                         testing::Values(DatabaseEnd::Padded, DatabaseEnd::Unpadded,
                                         DatabaseEnd::UnpaddedEndingLikePadding));

TEST(OpenEncryptedBackup, WrongPasswordNamesTheManifest) {
    TemporaryFolder folder;
    FixtureKeybag keybag;
    test::writeEncryptedManifest(folder.path(), keybag, databaseBytes(folder));
    auto unlocked = unlockBackup(folder.path(), "wrong");
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().kind, ErrorKind::WrongPassword);
    EXPECT_EQ(unlocked.error().description(),
              "Could not unlock the keybag \"" + folder / "Manifest.plist" + "\": wrong password");
}

TEST(ReadBackupEncryption, ReadsTheThreeEntries) {
    TemporaryFolder folder;
    FixtureKeybag keybag;
    test::writeEncryptedManifest(folder.path(), keybag, test::bytesOf("SQLite format 3"));
    auto encryption = readBackupEncryption(folder.path());
    ASSERT_TRUE(encryption);
    EXPECT_TRUE(encryption->isEncrypted);
    EXPECT_EQ(encryption->backupKeyBag, keybag.encode());
    EXPECT_EQ(encryption->manifestKey, keybag.wrapWithClass(4, ManifestOptions{}.manifestKey));
}

TEST(ReadBackupEncryption, MissingEntriesAndManifest) {
    TemporaryFolder folder;
    EXPECT_FALSE(readBackupEncryption(folder.path()));
    test::PlistValue::dictionary({{"IsEncrypted", test::PlistValue::string("yes")}})
        .write(folder / "Manifest.plist", test::PlistFormat::Xml);
    auto encryption = readBackupEncryption(folder.path());
    ASSERT_TRUE(encryption);
    EXPECT_FALSE(encryption->isEncrypted);
    EXPECT_FALSE(encryption->backupKeyBag);
    EXPECT_FALSE(encryption->manifestKey);
    test::writeFile(folder / "Manifest.plist", "not a property list");
    EXPECT_FALSE(readBackupEncryption(folder.path()));
}

TEST(IsSQLiteDatabase, TrustsTheBytesNotTheFlag) {
    TemporaryFolder folder;
    FixtureKeybag keybag;
    const Bytes database = databaseBytes(folder);
    // Says encrypted, but the database is plain.
    test::writeEncryptedManifest(folder.path(), keybag, database,
                                 ManifestOptions{.isEncrypted = true, .encryptManifestDb = false});
    EXPECT_TRUE(readBackupEncryption(folder.path())->isEncrypted);
    EXPECT_TRUE(isSQLiteDatabase(folder / "Manifest.db"));
    // Says plain, but the database is encrypted.
    test::writeEncryptedManifest(folder.path(), keybag, database,
                                 ManifestOptions{.isEncrypted = false});
    EXPECT_FALSE(readBackupEncryption(folder.path())->isEncrypted);
    EXPECT_FALSE(isSQLiteDatabase(folder / "Manifest.db"));
    auto unlocked = unlockBackup(folder.path(), keybag.password);
    ASSERT_TRUE(unlocked);
    auto plaintext = decryptManifestDb(folder.path(), *unlocked);
    ASSERT_TRUE(plaintext);
    EXPECT_EQ(*plaintext, database);
}

TEST(IsSQLiteDatabase, WantsAllSixteenHeaderBytes) {
    TemporaryFolder folder;
    EXPECT_FALSE(isSQLiteDatabase(folder / "missing"));
    EXPECT_FALSE(isSQLiteDatabase(folder.path()));
    test::writeFile(folder / "short", "SQLite format 3");
    EXPECT_FALSE(isSQLiteDatabase(folder / "short"));
    test::writeFile(folder / "text", std::string_view("SQLite format 3 and more", 24));
    EXPECT_FALSE(isSQLiteDatabase(folder / "text"));
    test::writeFile(folder / "header", std::string_view("SQLite format 3\0", 16));
    EXPECT_TRUE(isSQLiteDatabase(folder / "header"));
}

TEST(UnlockBackup, FailsWithoutAManifestOrAKeybag) {
    TemporaryFolder folder;
    auto unlocked = unlockBackup(folder.path(), "pw");
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().path, folder / "Manifest.plist");
    test::PlistValue::dictionary({{"IsEncrypted", test::PlistValue::boolean(true)}})
        .write(folder / "Manifest.plist", test::PlistFormat::Binary);
    unlocked = unlockBackup(folder.path(), "pw");
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().reason, "It has no BackupKeyBag");
    test::PlistValue::dictionary({{"BackupKeyBag", test::PlistValue::data(test::bytesOf("VERS"))}})
        .write(folder / "Manifest.plist", test::PlistFormat::Binary);
    unlocked = unlockBackup(folder.path(), "pw");
    ASSERT_FALSE(unlocked);
    EXPECT_EQ(unlocked.error().description(), "Could not read the keybag \"" +
                                                  folder / "Manifest.plist" +
                                                  "\": The record at byte 0 is cut short");
}

struct BrokenManifest {
    const char* name;
    // Writes the backup's manifest for the keybag, given a real database's bytes.
    std::function<void(const std::string& folder, FixtureKeybag& keybag, const Bytes& database)>
        write;
    const char* reason;
};

void PrintTo(const BrokenManifest& manifest, std::ostream* out) { *out << manifest.name; }

class BrokenManifestTest : public testing::TestWithParam<BrokenManifest> {};

TEST_P(BrokenManifestTest, FailsWithAReason) {
    TemporaryFolder folder;
    FixtureKeybag keybag;
    GetParam().write(folder.path(), keybag, databaseBytes(folder));
    auto unlocked = unlockBackup(folder.path(), keybag.password);
    ASSERT_TRUE(unlocked);
    auto plaintext = decryptManifestDb(folder.path(), *unlocked);
    ASSERT_FALSE(plaintext);
    EXPECT_EQ(plaintext.error().reason, GetParam().reason);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenManifestTest,
    testing::Values(BrokenManifest{"NoManifestKey",
                                   [](auto& folder, auto& keybag, auto& database) {
                                       test::writeEncryptedManifest(folder, keybag, database,
                                                                    {.withManifestKey = false});
                                   },
                                   "\"Manifest.plist\" holds no ManifestKey"},
                    BrokenManifest{"ManifestKeyClassDidNotUnlock",
                                   [](auto& folder, auto& keybag, auto& database) {
                                       keybag.tamperedClasses = {4};
                                       test::writeEncryptedManifest(folder, keybag, database);
                                   },
                                   "The keybag has no key for protection class 4"},
                    BrokenManifest{"ManifestKeyTampered",
                                   [](auto& folder, auto& keybag, auto& database) {
                                       test::writeEncryptedManifest(folder, keybag, database,
                                                                    {.tamperManifestKey = true});
                                   },
                                   "The key wrapped with protection class 4 is damaged"},
                    BrokenManifest{
                        "DatabaseTruncated",
                        [](auto& folder, auto& keybag, auto& database) {
                            test::writeEncryptedManifest(folder, keybag, database);
                            auto stored = test::readBytes(folder + "/Manifest.db");
                            stored.resize(stored.size() - 1);
                            test::writeFile(folder + "/Manifest.db", stored);
                        },
                        "Its length, 8207 bytes, is not a whole number of 16-byte blocks"},
                    BrokenManifest{"NotADatabaseInside",
                                   [](auto& folder, auto& keybag, auto&) {
                                       test::writeEncryptedManifest(
                                           folder, keybag, test::bytesOf("no database here"));
                                   },
                                   "It does not decrypt to an SQLite database"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace salvora
