#include "fuzz/FuzzSeeds.h"

#include "foundation/BackupFileNames.h"
#include "fuzz/FuzzTargets.h"
#include "support/AddressBookWriter.h"
#include "support/ArchivedFileBlob.h"
#include "support/BackupWriter.h"
#include "support/CalendarWriter.h"
#include "support/CallHistoryWriter.h"
#include "support/CameraRollWriter.h"
#include "support/ChatStorageWriter.h"
#include "support/HeicImage.h"
#include "support/KeybagWriter.h"
#include "support/ManifestDbWriter.h"
#include "support/SmsDatabaseWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora::fuzz {
namespace {
using test::BackupWriter;
using test::PlistFormat;
using test::PlistValue;
using test::readBytes;

constexpr PlistFormat bothFormats[] = {PlistFormat::Xml, PlistFormat::Binary};

std::string formatName(PlistFormat format) { return format == PlistFormat::Xml ? "xml" : "binary"; }

void addDatabaseSeeds(std::vector<FuzzSeed>& seeds) {
    test::TemporaryFolder indexed;
    BackupWriter backup(indexed.path());
    backup.addManifestDatabaseFile("AppDomain-com.example.notes", "Documents/a.txt", "a");
    backup.addManifestDatabaseFile("HomeDomain", "Library/Preferences/b.plist", "b");
    test::DatabaseRecord folder;
    folder.domain = "HomeDomain";
    folder.path = "Library";
    folder.mode = test::directoryMode;
    backup.addManifestDatabaseEntry({test::sha1Key("HomeDomain", "Library"), folder});
    backup.addManifestDatabaseEntry({test::sha1Key("", ""), test::DatabaseRecord{}});
    seeds.push_back({"manifest_database", "three-files-and-a-folder",
                     joinManifestDatabaseInput(readBytes(backup / ManifestMbdxName),
                                               readBytes(backup / ManifestMbdbName))});

    test::TemporaryFolder unindexed;
    BackupWriter walked(unindexed.path());
    walked.addUnindexedDatabaseFile("AppDomain-com.example.notes", "Documents/n.db", "n", 1e9);
    test::DatabaseRecord full;
    full.domain = "CameraRollDomain";
    full.path = "Media/DCIM/100APPLE/IMG_0001.JPG";
    full.dataHash = std::string(20, '\x5a');
    full.properties = {{"com.apple.assetsd.UUID", "abc"}, {"empty", ""}};
    walked.addUnindexedDatabaseRecord(full);
    walked.addUnindexedDatabaseRecord(folder);
    seeds.push_back(
        {"unindexed_database", "records-with-properties", readBytes(walked / ManifestMbdbName)});
}

void addListSeeds(std::vector<FuzzSeed>& seeds) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    for (PlistFormat format : bothFormats) {
        const std::string name = formatName(format);
        backup.addMdbackupFile(name + ".mdbackup", "Library/Preferences/a.plist", "contents",
                               format);
        seeds.push_back({"mdbackup", name, readBytes(backup / (name + ".mdbackup"))});

        test::MdinfoDescription outer;
        outer.domain = "AppDomain-com.example.notes";
        outer.path = "Documents/a.txt";
        outer.format = format;
        backup.addMdinfoFile(name + "-outer.mdinfo", outer);
        test::MdinfoDescription inner;
        inner.metadataDomain = "HomeDomain";
        inner.metadataPath = "Library/SMS/sms.db";
        inner.format = format;
        inner.metadataFormat = format == PlistFormat::Xml ? PlistFormat::Binary : PlistFormat::Xml;
        backup.addMdinfoFile(name + "-metadata.mdinfo", inner);
        for (const char* kind : {"-outer", "-metadata"})
            seeds.push_back({"mdinfo", name + kind, readBytes(backup / (name + kind + ".mdinfo"))});

        const PlistValue metadata =
            PlistValue::dictionary({{"itemName", PlistValue::string("Store Name")}});
        const PlistValue storeApplication = PlistValue::dictionary(
            {{"iTunesMetadata", PlistValue::data(metadata.encode(PlistFormat::Binary))},
             {"PlaceholderIcon", PlistValue::data(test::bytesOf("\x89PNG\r\n\x1A\n icon"))}});
        PlistValue info = PlistValue::dictionary(
            {{"Device Name", PlistValue::string("Émile's iPhone")},
             {"Last Backup Date", PlistValue::date(7.5e8)},
             {"Product Type", PlistValue::string("iPhone1,2")},
             {"Installed Applications", PlistValue::array({PlistValue::string("com.a")})},
             {"iTunes Files",
              PlistValue::dictionary({{"x", PlistValue::data(test::bytesOf("d"))}})},
             {"Target Type", PlistValue::boolean(true)},
             {"Build", PlistValue::integer(7)},
             {"Applications", PlistValue::dictionary({{"com.a", storeApplication}})}});
        seeds.push_back({"info_plist", name, info.encode(format)});
    }
    backup.addDisplayName("com.apple.mobilenotes", "Notes");
    backup.addDisplayName("com.example.empty", "");
    seeds.push_back({"manifest_plist", "display-names", readBytes(backup / ManifestPlistName)});
}

void addModernSeeds(std::vector<FuzzSeed>& seeds) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDbFile("AppDomain-com.example.notes", "Documents/a.txt", "a", 1500000000);
    backup.addManifestDbFile("HomeDomain", "Library/SMS/sms.db", "b");
    backup.addManifestDbRow({"ab12", "HomeDomain", "Library", test::manifestDbDirectoryFlags, {}});
    // The smallest pages keep the input small, so mutations land on what matters.
    test::runSql(backup / ManifestDbName, "PRAGMA page_size = 512; VACUUM;");
    seeds.push_back({"manifest_db", "two-files-and-a-folder", readBytes(backup / ManifestDbName)});

    test::ArchivedFileFields fields;
    fields.relativePath = "Documents/a.txt";
    fields.size = 4096;
    fields.lastModified = 1500000000;
    fields.protectionClass = 3;
    seeds.push_back({"archived_file_info", "plain", test::archivedFileBlob(fields)});
    fields.encryptionKey = test::countingBytes(0x20, 44);
    seeds.push_back({"archived_file_info", "with-key", test::archivedFileBlob(fields)});

    for (auto schema : {test::PhotoSchema::Asset, test::PhotoSchema::GenericAsset}) {
        test::writeCameraRoll(
            test::exampleCameraRoll(schema, test::LibraryFile::Database),
            [&](const std::string& path, const std::string& contents, std::uint32_t) {
                if (path.ends_with("Photos.sqlite"))
                    seeds.push_back({"photo_library",
                                     schema == test::PhotoSchema::Asset ? "asset" : "generic-asset",
                                     test::bytesOf(contents)});
            });
    }
    // As phones leave it: in WAL mode.
    auto walRoll = test::exampleCameraRoll(test::PhotoSchema::Asset, test::LibraryFile::Database);
    walRoll.journal = test::JournalMode::Wal;
    test::writeCameraRoll(
        walRoll, [&](const std::string& path, const std::string& contents, std::uint32_t) {
            if (path.ends_with("Photos.sqlite"))
                seeds.push_back({"photo_library", "wal-mode", test::bytesOf(contents)});
        });

    for (auto [generation, name] : {std::pair{test::SmsGeneration::MessagesOnly, "messages-only"},
                                    {test::SmsGeneration::Grouped, "grouped"},
                                    {test::SmsGeneration::Nanoseconds, "nanoseconds"},
                                    {test::SmsGeneration::AttributedBodies, "attributed-bodies"}})
        seeds.push_back(
            {"sms_database", name,
             test::bytesOf(test::smsDatabaseFiles(generation, test::JournalMode::Rollback).main)});
    seeds.push_back({"heif_image", "photo", test::bytesOf(test::heicImage(16, 16))});
    seeds.push_back({"typedstream", "short", test::bytesOf(test::typedstreamOf("Hi there"))});
    seeds.push_back({"typedstream", "two-byte-length",
                     test::bytesOf(test::typedstreamOf(std::string(300, 'a')))});
    test::writeAddressBook(
        test::JournalMode::Wal,
        [&](const std::string& path, const std::string& contents) {
            if (path.ends_with("AddressBook.sqlitedb"))
                seeds.push_back({"address_book", "wal-mode", test::bytesOf(contents)});
        },
        false);
    seeds.push_back({"call_history", "store", test::bytesOf(test::callHistoryStoreBytes())});
    test::writeOlderCallHistory([&](const std::string&, const std::string& contents) {
        seeds.push_back({"call_history", "call-history-db", test::bytesOf(contents)});
    });
    test::writeCalendarDatabase(
        test::JournalMode::Wal, [&](const std::string& path, const std::string& contents) {
            if (path.ends_with("Calendar.sqlitedb"))
                seeds.push_back({"calendar_database", "wal-mode", test::bytesOf(contents)});
        });
    test::writeWhatsAppContainer([&](const std::string& path, const std::string& contents) {
        if (path == "ChatStorage.sqlite")
            seeds.push_back({"chat_storage", "wal-mode", test::bytesOf(contents)});
    });
    seeds.push_back({"vcard_name", "folded",
                     test::bytesOf("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lovelace;Ada;;;\r\n"
                                   "FN:Ada\r\n  Lovelace\r\nEND:VCARD\r\n")});
    seeds.push_back({"vcard_name", "quoted-printable",
                     test::bytesOf("BEGIN:VCARD\nVERSION:2.1\n"
                                   "N;ENCODING=QUOTED-PRINTABLE:Ren=C3=A9;Jean\nEND:VCARD\n")});

    test::FixtureKeybag keybag;
    seeds.push_back({"keybag", "pre-derivation", keybag.encode()});
    keybag.variant = test::KeyDerivationVariant::SaltOnly;
    seeds.push_back({"keybag", "salt-only", keybag.encode()});
}

}  // namespace

std::vector<FuzzSeed> fuzzSeeds() {
    std::vector<FuzzSeed> seeds;
    addDatabaseSeeds(seeds);
    addListSeeds(seeds);
    addModernSeeds(seeds);
    return seeds;
}

void writeFuzzSeeds(const std::string& folder) {
    for (const FuzzSeed& seed : fuzzSeeds())
        test::writeFile(folder + "/" + seed.target + "/" + seed.name, seed.bytes);
}

}  // namespace salvora::fuzz
