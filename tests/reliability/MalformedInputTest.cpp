// Crafted input through every reader: property lists harmful to libplist wherever a backup
// holds one, and Manifest.db files that are no database, or whose Files would run code of the
// file's choosing. Each is read as far as it is sound, and nothing crashes or hangs.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "catalog/Catalog.h"
#include "catalog/layouts/manifest_db/ManifestDbReader.h"
#include "discovery/Discovery.h"
#include "fuzz/FuzzTargets.h"
#include "support/CatalogInspection.h"
#include "support/CliBackups.h"
#include "support/CraftedPropertyLists.h"
#include "support/ExpectInChild.h"
#include "support/FixtureHome.h"

namespace salvora {
namespace {
using test::PlistEntry;
using test::PlistHarm;
using test::PlistValue;
using Bytes = std::vector<std::byte>;

// What the catalogue and discovery made of a backup folder, as text to compare.
struct Reading {
    std::string deviceName;
    std::string applications;
    std::string displayNames;
    std::string sizes;
};

Reading readHome() {
    DeviceList devices = scanBackupRoots();
    if (devices.size() != 1) throw std::runtime_error("expected one device");
    Catalog catalog;
    catalog.buildCatalogForDevice(*devices.front());
    Reading reading{devices.front()->name.value_or("(none)"), "", "", ""};
    for (const std::string& name : test::applicationNames(*devices.front()->applications)) {
        reading.applications += "\"" + name + "\" ";
        for (const FileRecord& file :
             test::applicationIn(*devices.front()->applications, name).files)
            reading.sizes += file.size() ? std::to_string(*file.size()) + " " : "(none) ";
    }
    for (const auto& [application, display] :
         catalog.translationNames().value_or(TranslationNames{}))
        reading.displayNames += application + "=" + display + " ";
    return reading;
}

struct ReaderPlace {
    std::string label;
    std::vector<PlistEntry> entries;  // what the list says when sound
    // Writes the list into the backup folder where this reader finds it.
    std::function<void(const std::string& folder, const Bytes& list)> place;
    // The one part of the reading that tells whether the list was read.
    std::string Reading::*shows;
    std::string whenSound;
    std::string whenRefused;
};

const std::vector<PlistEntry> domainAndPath{{{"Domain"}, "AppDomain-notes"}, {{"Path"}, "a"}};

void writeSoundMdinfo(const std::string& folder) {
    test::mdinfoPlist(test::mdinfo("AppDomain-sound", "b"))
        .write(folder + "/sound.mdinfo", test::PlistFormat::Binary);
}

const ReaderPlace readerPlaces[] = {
    {"MdbackupList",
     {{{"Path"}, "Library/a"}},
     [](const std::string& folder, const Bytes& list) {
         test::writeFile(folder + "/a.mdbackup", list);
     },
     &Reading::applications,
     "\"Library\" ",
     ""},
    {"MdinfoList", domainAndPath,
     [](const std::string& folder, const Bytes& list) {
         test::writeFile(folder + "/a.mdinfo", list);
     },
     &Reading::applications, "\"notes\" ", "\"\" "},
    {"MdinfoMetadata", domainAndPath,
     [](const std::string& folder, const Bytes& list) {
         PlistValue::dictionary({{"Metadata", PlistValue::data(list)}})
             .write(folder + "/a.mdinfo", test::PlistFormat::Binary);
     },
     &Reading::applications, "\"notes\" ", "\"\" "},
    {"ManifestPlistData",
     {{{"Applications", "notes", "AppInfo", "CFBundleDisplayName"}, "Notes"}},
     [](const std::string& folder, const Bytes& list) {
         PlistValue::dictionary({{"Data", PlistValue::data(list)}})
             .write(folder + "/Manifest.plist", test::PlistFormat::Xml);
         writeSoundMdinfo(folder);
     },
     &Reading::displayNames,
     "notes=Notes ",
     ""},
    {"ManifestPlist",
     {{{"Data"}, "not an embedded list"}},
     [](const std::string& folder, const Bytes& list) {
         test::writeFile(folder + "/Manifest.plist", list);
         writeSoundMdinfo(folder);
     },
     &Reading::applications,
     "\"sound\" ",
     "\"sound\" "},
    {"InfoPlist",
     {{{"Device Name"}, "Phone"}},
     [](const std::string& folder, const Bytes& list) {
         test::writeFile(folder + "/Info.plist", list);
     },
     &Reading::deviceName,
     "Phone",
     "(none)"},
    {"ManifestDbFileBlob",
     {{{"$archiver"}, "NSKeyedArchiver"}},
     [](const std::string& folder, const Bytes& list) {
         test::appendManifestDbRows(folder + "/Manifest.db",
                                    {{"abcd", "HomeDomain", "a", test::manifestDbFileFlags, list}});
     },
     &Reading::applications,
     "\"HomeDomain\" ",
     "\"HomeDomain\" "},
};

void PrintTo(const ReaderPlace& place, std::ostream* out) { *out << place.label; }

class HarmfulPropertyList : public testing::TestWithParam<std::tuple<ReaderPlace, PlistHarm>> {};

TEST_P(HarmfulPropertyList, IsRefusedWhereverTheBackupHoldsIt) {
    const auto& [place, harm] = GetParam();
    test::FixtureHome home;
    const std::string folder = home.addBackup(test::BackupRoot::Primary, "crafted", "Sound Phone");
    place.place(folder, test::craftedDictionary(place.entries, harm));
    const Reading reading = readHome();
    EXPECT_EQ(reading.*place.shows, harm == PlistHarm::None ? place.whenSound : place.whenRefused);
}

INSTANTIATE_TEST_SUITE_P(Reliability, HarmfulPropertyList,
                         testing::Combine(testing::ValuesIn(readerPlaces),
                                          testing::Values(PlistHarm::None, PlistHarm::NestedTooDeep,
                                                          PlistHarm::SharedContainers,
                                                          PlistHarm::KeyHoldingNul)),
                         [](const auto& info) {
                             return std::get<0>(info.param).label +
                                    test::plistHarmName(std::get<1>(info.param));
                         });

// --- Manifest.db

std::size_t filesFromManifestDb(const std::string& folder) {
    ApplicationMap applications;
    static_cast<void>(addManifestDbFilesFromDirectory(folder, applications));
    return test::fileCount(applications);
}

Bytes randomBytes(std::size_t count, unsigned seed) {
    std::mt19937 generator(seed);
    Bytes bytes(count);
    for (std::byte& b : bytes) b = static_cast<std::byte>(generator());
    return bytes;
}

TEST(MalformedManifestDb, RandomBytesAsAnEncryptedDatabaseLooksAddNothing) {
    test::TemporaryFolder folder;
    test::writeFile(folder / "Manifest.db", randomBytes(64 * 1024, 1));
    EXPECT_EQ(filesFromManifestDb(folder.path()), 0u);
}

TEST(MalformedManifestDb, PagesOverwrittenBehindASoundHeaderGiveSqlitesRowsOrNone) {
    test::TemporaryFolder source;
    test::BackupWriter backup(source.path());
    for (int i = 0; i < 200; ++i)
        backup.addManifestDbFile("HomeDomain", "Documents/" + std::to_string(i), "x");
    const Bytes sound = test::readBytes(backup / "Manifest.db");
    for (unsigned seed = 0; seed < 20; ++seed) {
        Bytes damaged = sound;
        const Bytes noise = randomBytes(damaged.size() - 100, seed);
        std::copy(noise.begin(), noise.end(), damaged.begin() + 100);
        test::TemporaryFolder folder;
        test::writeFile(folder / "Manifest.db", damaged);
        EXPECT_LE(filesFromManifestDb(folder.path()), 200u);
        // Where its pages are read, they give SQLite's rows.
        test::expectInChild([&] { fuzz::findFuzzTarget("manifest_db")->body(damaged); });
    }
}

struct SchemaCase {
    std::string label;
    std::string sql;
    std::size_t files;
};

void PrintTo(const SchemaCase& schema, std::ostream* out) { *out << schema.label; }

class ManifestDbSchema : public testing::TestWithParam<SchemaCase> {};

// Reading Files only reads what is stored: whatever would be computed at each read, and could
// run without end, makes the database unreadable instead.
TEST_P(ManifestDbSchema, IsReadOnlyWhenFilesIsAnOrdinaryTable) {
    test::TemporaryFolder folder;
    test::runSql(folder / "Manifest.db", GetParam().sql);
    test::expectInChild([&] { EXPECT_EQ(filesFromManifestDb(folder.path()), GetParam().files); },
                        {.watchdogSeconds = 20});
}

const std::string fileRow = "('abcd', 'HomeDomain', 'a', 1, NULL)";

INSTANTIATE_TEST_SUITE_P(
    Reliability, ManifestDbSchema,
    testing::Values(
        SchemaCase{"OrdinaryTable",
                   "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain TEXT, relativePath TEXT, "
                   "flags INTEGER, file BLOB); INSERT INTO Files VALUES " +
                       fileRow,
                   1},
        SchemaCase{"NameInOtherCase",
                   "CREATE TABLE files (fileID, domain, relativePath, flags, file); "
                   "INSERT INTO files VALUES " +
                       fileRow,
                   1},
        SchemaCase{"ViewWithoutEnd",
                   "CREATE VIEW Files AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                   "FROM n) SELECT printf('%08d', x) AS fileID, 'HomeDomain' AS domain, 'a' AS "
                   "relativePath, 1 AS flags, NULL AS file FROM n",
                   0},
        SchemaCase{"GeneratedColumn",
                   "CREATE TABLE Files (fileID, domain, relativePath, flags, file, "
                   "big AS (zeroblob(100000000))); INSERT INTO Files (fileID, domain, "
                   "relativePath, flags, file) VALUES " +
                       fileRow,
                   0},
        SchemaCase{"VirtualTable",
                   "CREATE VIRTUAL TABLE Files USING fts4(fileID, domain, relativePath, flags, "
                   "file); INSERT INTO Files VALUES " +
                       fileRow,
                   0},
        SchemaCase{"WithoutRowid",
                   "CREATE TABLE Files (fileID TEXT PRIMARY KEY, domain, relativePath, flags, "
                   "file) WITHOUT ROWID; INSERT INTO Files VALUES " +
                       fileRow,
                   0}),
    [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace salvora
