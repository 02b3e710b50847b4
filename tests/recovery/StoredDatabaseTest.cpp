// A stored database opened as SQLite sees it on the phone, in plain and encrypted backups:
// WAL mode with and without its "-wal", the log's rows read, a log SQLite can't use left out
// with one warning, and nothing written anywhere.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>

#include "catalog/Catalog.h"
#include "recovery/StoredDatabase.h"
#include "sqlite/Statement.h"
#include "support/EncryptedBackup.h"
#include "support/FolderSnapshot.h"
#include "support/WalDatabase.h"

namespace salvora {
namespace {
using test::JournalMode;

enum class Log { AsWritten, Damaged, AnotherSalt };

struct Case {
    const char* name;
    bool encrypted;
    JournalMode mode;
    Log log;
    std::int64_t rows;  // what SQLite reads: 5 with the log's two, 3 without them
};

void PrintTo(const Case& each, std::ostream* out) { *out << each.name; }

class StoredDatabaseOpening : public ::testing::TestWithParam<Case> {
  protected:
    // Stores "sms.db", and its "-wal" when there is one, in a backup of the kind asked for.
    void writeBackup(const test::DatabaseFiles& files) {
        const std::string domain = "AppDomain-com.example.chat";
        auto store = [&](const std::string& path, const std::string& contents) {
            if (GetParam().encrypted)
                encrypted.addFile(domain, path, contents);
            else
                plain.addManifestDbFile(domain, path, contents);
        };
        if (files.wal) store("Library/sms.db-wal", *files.wal);
        store("Library/sms.db", files.main);
        if (GetParam().encrypted) {
            ASSERT_TRUE(catalog.unlockBackup(device.directory, encrypted.keybag().password));
        }
        catalog.buildCatalogForDevice(device);
    }

    Result<StoredDatabase> open() {
        const auto& files = device.applications->at("com.example.chat")->files;
        const FileRecord& database =
            *std::find_if(files.begin(), files.end(),
                          [](const auto& file) { return file.fullpath() == "Library/sms.db"; });
        return openStoredDatabase(device.directory, database, walRecordAmong(files, database),
                                  catalog.keybagFor(device.directory).get());
    }

    test::TemporaryFolder folder;
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    test::BackupWriter plain{device.directory};
    test::EncryptedBackup encrypted{folder / "encrypted"};
    Catalog catalog;

  public:
    StoredDatabaseOpening() {
        if (GetParam().encrypted) device.directory = encrypted.folder();
    }
};

std::string withLog(Log log, std::string wal) {
    if (log == Log::Damaged) return test::withDamagedHeader(std::move(wal));
    if (log == Log::AnotherSalt) return test::withAnotherSalt(std::move(wal));
    return wal;
}

TEST_P(StoredDatabaseOpening, ReadsTheRowsSQLiteFindsAndWritesNothing) {
    const Case& each = GetParam();
    test::DatabaseFiles files = test::databaseFiles(
        each.mode,
        "CREATE TABLE message (text TEXT); INSERT INTO message VALUES ('a'), ('b'), ('c');",
        "INSERT INTO message VALUES ('d'), ('e');");
    if (files.wal) files.wal = withLog(each.log, *files.wal);
    writeBackup(files);
    const auto before = test::folderSnapshot(folder.path());

    {
        auto opened = open();
        ASSERT_TRUE(opened) << opened.error().description();
        auto count = prepare(opened->database.handle(), "SELECT count(*) FROM message");
        ASSERT_TRUE(count) << count.error().description();
        ASSERT_EQ(sqlite3_step(count->get()), SQLITE_ROW);
        EXPECT_EQ(integerColumn(count->get(), 0), each.rows);
        if (each.log == Log::AsWritten) {
            EXPECT_FALSE(opened->warning) << *opened->warning;
        } else {
            ASSERT_TRUE(opened->warning);
            EXPECT_NE(opened->warning->find("\"Library/sms.db\""), std::string::npos)
                << *opened->warning;
            EXPECT_NE(opened->warning->find("Left out the log"), std::string::npos)
                << *opened->warning;
        }
    }
    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Backups, StoredDatabaseOpening,
    ::testing::ValuesIn(std::vector<Case>{
        {"PlainRollback", false, JournalMode::Rollback, Log::AsWritten, 5},
        {"PlainWalWithoutLog", false, JournalMode::Wal, Log::AsWritten, 5},
        {"PlainWalWithLog", false, JournalMode::WalWithLog, Log::AsWritten, 5},
        {"PlainDamagedLog", false, JournalMode::WalWithLog, Log::Damaged, 3},
        {"PlainLogOfAnotherSalt", false, JournalMode::WalWithLog, Log::AnotherSalt, 3},
        {"EncryptedWalWithoutLog", true, JournalMode::Wal, Log::AsWritten, 5},
        {"EncryptedWalWithLog", true, JournalMode::WalWithLog, Log::AsWritten, 5},
        {"EncryptedDamagedLog", true, JournalMode::WalWithLog, Log::Damaged, 3},
        {"EncryptedLogOfAnotherSalt", true, JournalMode::WalWithLog, Log::AnotherSalt, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoredDatabase, ThatIsNoDatabaseFailsWithSQLitesReason) {
    test::TemporaryFolder folder;
    test::BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("AppDomain-com.example.chat", "Library/sms.db",
                             "SQLite format 3" + std::string(200, 'x'));
    DeviceRecord device{std::nullopt, std::nullopt, backup.folder(), nullptr};
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    const FileRecord& file = device.applications->at("com.example.chat")->files.back();
    auto opened = openStoredDatabase(device.directory, file, nullptr, nullptr);
    ASSERT_FALSE(opened);
    EXPECT_EQ(opened.error().reason, "file is not a database");
    EXPECT_EQ(opened.error().path, backup / file.name());
}

}  // namespace
}  // namespace salvora
