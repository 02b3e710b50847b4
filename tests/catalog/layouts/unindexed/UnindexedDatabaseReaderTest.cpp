#include "catalog/layouts/unindexed/UnindexedDatabaseReader.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/BackupWriter.h"
#include "support/CatalogInspection.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::applicationIn;
using test::BackupWriter;

ApplicationMap read(const BackupWriter& backup) {
    ApplicationMap applications;
    addUnindexedDatabaseFilesFromDirectory(backup.folder(), applications);
    return applications;
}

test::DatabaseRecord record(std::optional<std::string> domain, std::optional<std::string> path,
                            std::uint16_t mode = test::regularFileMode) {
    test::DatabaseRecord result;
    result.domain = std::move(domain);
    result.path = std::move(path);
    result.mode = mode;
    return result;
}

// A record that uses every field, so a reader that gets one width wrong loses the next record.
test::DatabaseRecord everyFieldRecord() {
    test::DatabaseRecord full = record("AppDomain-com.example.notes", "Documents/n.db");
    full.linkTarget = "";
    full.dataHash = std::string(20, '\x5A');
    full.encryptionKey = std::string(44, '\x01');
    full.inode = 0x0102030405060708;
    full.userId = 501;
    full.groupId = 20;
    full.lastModified = 1300000000;
    full.lastStatusChange = 1300000001;
    full.birth = 1200000000;
    full.size = 0x1'0000'0001;
    full.protectionClass = 4;
    full.properties = {{"com.apple.assetsd.UUID", "abc"}, {"empty", ""}};
    return full;
}

TEST(UnindexedDatabaseReader, StoredNameIsSha1OfDomainDashPath) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    std::string stored = backup.addUnindexedDatabaseFile("HomeDomain", "Library/SMS/sms.db", "db");

    ApplicationMap applications = read(backup);
    const FileRecord& file = applicationIn(applications, "HomeDomain").files.at(0);
    EXPECT_EQ(file.name(), "3d0d7e5fb2ce288813306e4d4636395e047a3d28");
    EXPECT_EQ(file.name(), stored);
    EXPECT_EQ(file.fullpath(), "Library/SMS/sms.db");
    EXPECT_EQ(file.oldVersion(), false);
}

TEST(UnindexedDatabaseReader, ReadsEveryFieldOfARecord) {
    auto bytes = test::unindexedDatabaseBytes({everyFieldRecord()});
    ByteCursor cursor(bytes, 6);
    std::optional<DatabaseRecord> read = readDatabaseRecord(cursor);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->domain, ManifestString("AppDomain-com.example.notes"));
    EXPECT_EQ(read->path, ManifestString("Documents/n.db"));
    EXPECT_EQ(read->linkTarget, ManifestString(""));
    EXPECT_EQ(read->dataHash, ManifestString(std::string(20, '\x5A')));
    EXPECT_EQ(read->encryptionKey, ManifestString(std::string(44, '\x01')));
    EXPECT_EQ(read->mode, test::regularFileMode);
    EXPECT_EQ(read->inode, 0x0102030405060708u);
    EXPECT_EQ(read->userId, 501u);
    EXPECT_EQ(read->groupId, 20u);
    EXPECT_EQ(read->lastModified, 1300000000u);
    EXPECT_EQ(read->lastStatusChange, 1300000001u);
    EXPECT_EQ(read->birth, 1200000000u);
    EXPECT_EQ(read->size, 0x1'0000'0001u);
    EXPECT_EQ(read->protectionClass, 4u);
    EXPECT_EQ(cursor.remaining(), 0u);
}

TEST(UnindexedDatabaseReader, WalksEveryRecordKeepingTimeAndSizeOfRegularFiles) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addUnindexedDatabaseRecord(
        record("AppDomain-com.example.notes", "", test::directoryMode));
    backup.addUnindexedDatabaseRecord(everyFieldRecord());
    test::DatabaseRecord link =
        record("AppDomain-com.example.notes", "link", test::symbolicLinkMode);
    link.linkTarget = "Documents/n.db";
    backup.addUnindexedDatabaseRecord(link);
    backup.addUnindexedDatabaseFile("AppDomain-com.example.notes", "Documents/last", "12345", 77);

    ApplicationMap applications = read(backup);
    const ApplicationRecord& notes = applicationIn(applications, "com.example.notes");
    ASSERT_EQ(test::fullpaths(notes),
              (std::vector<std::optional<std::string>>{"Documents/n.db", "Documents/last"}));
    EXPECT_EQ(notes.files[0].modificationTime(), 1300000000);
    EXPECT_EQ(notes.files[0].size(), 0x1'0000'0001u);
    EXPECT_EQ(notes.files[1].modificationTime(), 77);
    EXPECT_EQ(notes.files[1].size(), 5u);
}

TEST(UnindexedDatabaseReader, RunsOnlyWhenTheFolderHasNoIndex) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addUnindexedDatabaseFile("HomeDomain", "a", "contents");
    test::writeFile(backup / "Manifest.mbdx", "not even an index");
    EXPECT_TRUE(read(backup).empty());
}

TEST(UnindexedDatabaseReader, AbsentAndNonUtf8StringsFileUnderNothingButStillNameTheFile) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addUnindexedDatabaseRecord(record(std::nullopt, "Documents/a"));
    backup.addUnindexedDatabaseRecord(record("HomeDomain", "bad\xFF"));

    ApplicationMap applications = read(backup);
    const FileRecord& noDomain = applicationIn(applications, "").files.at(0);
    EXPECT_EQ(noDomain.fullpath(), "Documents/a");
    EXPECT_EQ(noDomain.name(), test::hexDigits(test::sha1Key("", "Documents/a")));
    const FileRecord& badPath = applicationIn(applications, "HomeDomain").files.at(0);
    EXPECT_EQ(badPath.fullpath(), std::nullopt);
    EXPECT_EQ(badPath.name(), test::hexDigits(test::sha1Key("HomeDomain", "bad\xFF")));
}

struct UnindexedDamage {
    std::string name;
    std::function<void(std::vector<std::byte>&)> damage;
    std::size_t kept;
};

void PrintTo(const UnindexedDamage& damage, std::ostream* out) { *out << damage.name; }

class UnindexedDatabaseDamage : public testing::TestWithParam<UnindexedDamage> {};

TEST_P(UnindexedDatabaseDamage, StopsAtTheFirstDamagedRecordKeepingTheOnesBefore) {
    auto bytes = test::unindexedDatabaseBytes(
        {record("HomeDomain", "a"), record("HomeDomain", "b"), everyFieldRecord()});
    GetParam().damage(bytes);
    test::TemporaryFolder folder;
    test::writeFile(folder / "Manifest.mbdb", bytes);
    ApplicationMap applications;
    addUnindexedDatabaseFilesFromDirectory(folder.path(), applications);
    EXPECT_EQ(test::fileCount(applications), GetParam().kept);
}

// The first two records are 2 + 10 + 2 + 1 + 3 * 2 + 2 + 8 + 4 + 4 + 12 + 8 + 1 + 1 = 61 bytes.
constexpr std::size_t shortRecord = 61;
constexpr std::size_t secondRecord = 6 + shortRecord;
constexpr std::size_t thirdRecord = secondRecord + shortRecord;

INSTANTIATE_TEST_SUITE_P(
    Damage, UnindexedDatabaseDamage,
    testing::Values(
        UnindexedDamage{"Intact", [](auto&) {}, 3},
        UnindexedDamage{"OnlyMagic", [](auto& b) { b.resize(6); }, 0},
        UnindexedDamage{"Empty", [](auto& b) { b.clear(); }, 0},
        UnindexedDamage{"WrongMagic", [](auto& b) { b[5] = std::byte{1}; }, 0},
        UnindexedDamage{"IndexMagic",
                        [](auto& b) { std::copy_n(test::bytesOf("mbdx").begin(), 4, b.begin()); },
                        0},
        UnindexedDamage{"CutInsideTheSecondRecord", [](auto& b) { b.resize(secondRecord + 30); },
                        1},
        UnindexedDamage{"CutInsideTheProperties", [](auto& b) { b.resize(b.size() - 3); }, 2},
        UnindexedDamage{"CutAfterThePropertyCount", [](auto& b) { b.resize(b.size() - 20); }, 2},
        UnindexedDamage{"StringLengthBeyondTheEnd",
                        [](auto& b) { test::putBigEndian(b, thirdRecord, 0xFFF0, 2); }, 2},
        UnindexedDamage{"TrailingByte", [](auto& b) { b.push_back(std::byte{0}); }, 3}),
    [](const testing::TestParamInfo<UnindexedDamage>& info) { return info.param.name; });

}  // namespace
}  // namespace salvora
