#include "catalog/layouts/manifest_db/ManifestDbReader.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <cctype>
#include <cstdio>

#include <filesystem>

#include "support/ArchivedFileBlob.h"
#include "support/BackupWriter.h"
#include "support/CatalogInspection.h"
#include "support/FolderSnapshot.h"
#include "support/ManifestDbWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::applicationIn;
using test::BackupWriter;
using test::ManifestDbRow;
namespace fs = std::filesystem;

ApplicationMap read(const std::string& folder) {
    ApplicationMap applications;
    static_cast<void>(addManifestDbFilesFromDirectory(folder, applications));
    return applications;
}

ManifestDbRow row(std::string fileID, std::optional<std::string> domain,
                  std::optional<std::string> path, std::int64_t flags = test::manifestDbFileFlags) {
    return {std::move(fileID), std::move(domain), std::move(path), flags, std::nullopt};
}

TEST(ManifestDbReader, RegularFileLivesInTheSubfolderOfItsFirstTwoCharacters) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    std::string stored = backup.addManifestDbFile("HomeDomain", "Library/SMS/sms.db", "12345", 99);

    ApplicationMap applications = read(backup.folder());
    const FileRecord& file = applicationIn(applications, "HomeDomain").files.at(0);
    EXPECT_EQ(file.name(), "3d/3d0d7e5fb2ce288813306e4d4636395e047a3d28");
    EXPECT_EQ(file.name(), stored);
    EXPECT_EQ(file.fullpath(), "Library/SMS/sms.db");
    EXPECT_EQ(file.oldVersion(), false);
    EXPECT_EQ(file.size(), 5u);
    EXPECT_EQ(file.modificationTime(), 99);
    EXPECT_TRUE(fs::is_regular_file(backup / file.name()));
}

TEST(ManifestDbReader, OnlyRegularFilesInRowidOrderUnderTheirApplication) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDbRow(row("ff01", "AppDomain-com.example.notes", "Documents/z"));
    backup.addManifestDbRow(
        row("0002", "AppDomain-com.example.notes", "Documents", test::manifestDbDirectoryFlags));
    backup.addManifestDbRow(row("aa03", "AppDomain-org.other.notes", "Documents/a"));
    backup.addManifestDbRow(row("0a07", "AppDomain-com.example.notes", "Documents/y"));
    backup.addManifestDbRow(
        row("0004", "AppDomain-com.example.notes", "link", test::manifestDbLinkFlags));
    backup.addManifestDbRow(row("0105", "AppDomainGroup-group.example.shared", "x", 3));
    backup.addManifestDbRow(row("0006", "CameraRollDomain", "Media/DCIM/1.jpg"));

    ApplicationMap applications = read(backup.folder());
    EXPECT_EQ(
        test::applicationNames(applications),
        (std::vector<std::string>{"CameraRollDomain", "com.example.notes", "org.other.notes"}));
    EXPECT_EQ(test::storedNames(applicationIn(applications, "com.example.notes")),
              (std::vector<std::string>{"ff/ff01", "0a/0a07"}));
}

TEST(ManifestDbReader, MissingValuesFollowTheFilingRule) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDbRow(row("0001", std::nullopt, "Documents/no domain"));
    backup.addManifestDbRow(row("0002", "HomeDomain", std::nullopt));
    backup.addManifestDbRow(row("0003", "HomeDomain", "bad \xFF path"));
    backup.addManifestDbRow(row("0004",
                                "Home\xC0"
                                "Domain",
                                "bad domain"));
    test::runSql(backup / "Manifest.db",
                 "INSERT INTO Files VALUES ('0005', x'486f6d65', x'41', 1, NULL);");

    ApplicationMap applications = read(backup.folder());
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "")),
              (std::vector<std::optional<std::string>>{"Documents/no domain", "bad domain",
                                                       std::nullopt}));
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "HomeDomain")),
              (std::vector<std::optional<std::string>>{std::nullopt, std::nullopt}));
    EXPECT_EQ(applicationIn(applications, "HomeDomain").files[0].size(), std::nullopt);
}

TEST(ManifestDbReader, ALargeTableReadInTwoHalvesKeepsRowidOrderAndFindsDetailsAgain) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    // An application's own container and its group's, in runs, so each half holds both: the
    // second half's files of a container must follow the first's, container by container.
    constexpr int rows = 30'000;
    std::vector<ManifestDbRow> table;
    std::vector<std::string> own;
    std::vector<std::string> group;
    for (int i = 0; i < rows; ++i) {
        char fileId[9];
        std::snprintf(fileId, sizeof fileId, "%08x", i);
        const bool isOwn = (i / 7) % 2 == 0;
        table.push_back(row(
            fileId, isOwn ? "AppDomain-com.example.one" : "AppDomainGroup-group.com.example.one",
            "f" + std::to_string(i)));
        (isOwn ? own : group).push_back(std::string(fileId, 2) + "/" + fileId);
    }
    test::ArchivedFileFields fields;
    fields.size = 77;
    table.back().file = test::archivedFileBlob(fields);
    test::appendManifestDbRows(backup / "Manifest.db", table);

    ApplicationMap applications = read(backup.folder());
    const ApplicationRecord& one = applicationIn(applications, "com.example.one");
    own.insert(own.end(), group.begin(), group.end());
    EXPECT_EQ(test::storedNames(one), own);
    EXPECT_EQ(one.files.back().fullpath(),
              "App Groups/group.com.example.one/f" + std::to_string(rows - 1));
    EXPECT_EQ(one.files.back().size(), 77u);
    EXPECT_EQ(one.files.front().size(), std::nullopt);
}

TEST(ManifestDbReader, FileIdsThatCannotNameAStoredFileAreSkipped) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    for (const char* fileID : {"", "a", "../../../etc/passwd", "ab/cd", "..", "ab\\cd", "ab cd"}) {
        backup.addManifestDbRow(row(fileID, "HomeDomain", fileID));
    }
    // Longer than any file name.
    backup.addManifestDbRow(row(std::string(256, 'a'), "HomeDomain", "long"));
    backup.addManifestDbRow({std::nullopt, "HomeDomain", "null", 1, std::nullopt});
    test::runSql(backup / "Manifest.db",
                 "INSERT INTO Files VALUES (x'abcd', 'HomeDomain', 'n', 1, NULL);");
    backup.addManifestDbRow(row("Ab-_9", "HomeDomain", "kept"));

    EXPECT_EQ(test::storedNames(applicationIn(read(backup.folder()), "HomeDomain")),
              (std::vector<std::string>{"Ab/Ab-_9"}));
}

TEST(ManifestDbReader, StoredNamesKeepTheFileIdsSpellingWhetherHexadecimalOrNot) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    const std::string digits = "3d0d7e5fb2ce288813306e4d4636395e047a3d28";
    std::string upper = digits;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const std::vector<std::string> fileIds{digits,
                                           upper,
                                           digits.substr(1),
                                           digits + "0",
                                           "00" + digits.substr(2, 37) + "g",
                                           digits.substr(0, 2)};
    for (const std::string& fileId : fileIds)
        backup.addManifestDbRow(row(fileId, "HomeDomain", fileId));

    std::vector<std::string> expected;
    for (const std::string& fileId : fileIds)
        expected.push_back(fileId.substr(0, 2) + "/" + fileId);
    EXPECT_EQ(test::storedNames(applicationIn(read(backup.folder()), "HomeDomain")), expected);
}

// Read from its pages, the table is found by its columns' names, not their places.
TEST(ManifestDbReader, ColumnsInAnotherOrderOrBesideTheRowid) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    test::runSql(backup / "Manifest.db",
                 "CREATE TABLE Files (id INTEGER PRIMARY KEY, flags INTEGER, relativePath TEXT, "
                 "domain TEXT, fileID TEXT); INSERT INTO Files VALUES (7, 1, 'a', 'HomeDomain', "
                 "'aa'), (9, 2, 'b', 'HomeDomain', 'bb'), (12, 1, 'c', 'HomeDomain', 'cc');");
    EXPECT_EQ(test::storedNames(applicationIn(read(backup.folder()), "HomeDomain")),
              (std::vector<std::string>{"aa/aa", "cc/cc"}));
}

TEST(ManifestDbReader, WhatIsNoReadableDatabaseAddsNothing) {
    test::TemporaryFolder source;
    BackupWriter valid(source.path());
    valid.addManifestDbFile("HomeDomain", "a", "contents");
    std::vector<std::byte> database = test::readBytes(valid / "Manifest.db");

    std::vector<std::vector<std::byte>> contents{
        {},
        test::bytesOf("this is not a database, it is text"),
        std::vector<std::byte>(4096, std::byte{0xA5}),
        {database.begin(), database.begin() + static_cast<std::ptrdiff_t>(database.size() / 2)},
        {database.begin(), database.begin() + 50}};
    for (const auto& bytes : contents) {
        test::TemporaryFolder folder;
        test::writeFile(folder / "Manifest.db", bytes);
        EXPECT_TRUE(read(folder.path()).empty());
    }
}

TEST(ManifestDbReader, AnotherSchemaAddsNothing) {
    test::TemporaryFolder folder;
    test::runSql(folder / "Manifest.db",
                 "CREATE TABLE Files (fileID TEXT, domain TEXT);"
                 "INSERT INTO Files VALUES ('0001', 'HomeDomain');");
    EXPECT_TRUE(read(folder.path()).empty());

    test::TemporaryFolder other;
    test::runSql(other / "Manifest.db", "CREATE TABLE Elsewhere (x);");
    EXPECT_TRUE(read(other.path()).empty());
}

TEST(ManifestDbReader, ReadingChangesNothingBesideTheBackupEvenInAReadOnlyFolder) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder / "backup");
    backup.addManifestDbFile("HomeDomain", "a", "contents");
    // A database in write-ahead-log mode makes any ordinary reader create "-wal" and "-shm"
    // files beside it.
    test::runSql(backup / "Manifest.db", "PRAGMA journal_mode = WAL;");
    std::vector<std::string> before = test::folderSnapshot(folder.path());

    ::chmod(backup.folder().c_str(), 0555);
    ::chmod((backup / "Manifest.db").c_str(), 0444);
    EXPECT_EQ(test::fileCount(read(backup.folder())), 1u);
    ::chmod(backup.folder().c_str(), 0755);
    ::chmod((backup / "Manifest.db").c_str(), 0644);
    EXPECT_EQ(test::fileCount(read(backup.folder())), 1u);

    EXPECT_EQ(test::folderSnapshot(folder.path()), before);
}

TEST(ManifestDbReader, FolderNamesThatMeanSomethingInUrisStillOpen) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder / "odd ?immutable=0#x%41 name");
    backup.addManifestDbFile("HomeDomain", "a", "contents");
    EXPECT_EQ(test::fileCount(read(backup.folder())), 1u);
}

TEST(ManifestDbReader, ReadsADatabaseHeldInMemory) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDbFile("AppDomain-com.example.notes", "Documents/a", "a");
    backup.addManifestDbFile("AppDomain-com.example.notes", "Documents/b", "b");

    auto database = SqliteDatabase::fromBytes(test::readBytes(backup / "Manifest.db"));
    ASSERT_TRUE(database);
    ApplicationMap applications;
    static_cast<void>(addManifestDbFiles(*database, applications));
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "com.example.notes")),
              (std::vector<std::optional<std::string>>{"Documents/a", "Documents/b"}));

    EXPECT_FALSE(SqliteDatabase::fromBytes({}));
    if (auto garbage = SqliteDatabase::fromBytes(test::bytesOf("garbage"))) {
        ApplicationMap nothing;
        static_cast<void>(addManifestDbFiles(*garbage, nothing));
        EXPECT_TRUE(nothing.empty());
    }
}

}  // namespace
}  // namespace salvora
