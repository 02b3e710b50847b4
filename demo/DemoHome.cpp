// Writes a home folder with one sample backup of every layout the catalogue reads, for the
// demo: salvora-demo-home <home>. The backups are made by the tests' fixture writer.
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"
#include "support/EncryptedBackup.h"
#include "support/MdinfoInDomain.h"
#include "support/ModernBackupSample.h"
#include "support/PlistValue.h"
#include "support/SourceDatabases.h"
#include "support/TemporaryFolder.h"

namespace salvora::test {
namespace {

const char* const primaryRoot = "Application Data/Apple Computer/MobileSync/Backup";
const char* const alternateRoot = "AppData/Roaming/Apple Computer/MobileSync/Backup";
const char* const encryptedDevicePassword = "salvora";

struct SampleDevice {
    std::string folder;

    // Dated last, since writing files into the folder moves its date.
    void date(int year, int month, int day, int hour, int minute) const {
        setModificationTime(folder, year, month, day, hour, minute);
    }
};

// `applications`: the store's names and icons, which a modern backup's Info.plist holds beside
// the device's.
SampleDevice device(const std::string& home, const char* root, const std::string& folderName,
                    const std::string& name, const std::string& version, const std::string& model,
                    const std::optional<PlistValue>& applications = std::nullopt) {
    const std::string folder = home + "/" + root + "/" + folderName;
    BackupWriter writer(folder);  // creates the folder
    PlistValue info = PlistValue::dictionary({{"Device Name", PlistValue::string(name)},
                                              {"Product Version", PlistValue::string(version)},
                                              {"Product Type", PlistValue::string(model)}});
    if (applications) info.set("Applications", *applications);
    info.write(folder + "/Info.plist", PlistFormat::Xml);
    return {folder};
}

void writeSampleHome(const std::string& home) {
    const SampleDevice anna =
        device(home, primaryRoot, "1f3a9c", "Anna's iPhone 3G", "2.2", "iPhone1,2");
    BackupWriter annaFiles(anna.folder);
    annaFiles.addMdbackupFile("0a1b.mdbackup", "Library/SMS/sms.db", "SQLite format 3");
    annaFiles.addMdbackupFile("1c2d.mdbackup", "Library/Notes/notes.db", "SQLite format 3");
    annaFiles.addMdbackupFile("2e3f.mdbackup", "Media/DCIM/100APPLE/IMG_0001.JPG", "JPEG");
    annaFiles.addMdbackupFile("3a4b.mdbackup", "Media/Recordings/Memo.m4a", "M4A");
    anna.date(2008, 11, 2, 9, 41);

    const SampleDevice ben =
        device(home, primaryRoot, "2b7e41", "Ben's iPhone 3GS", "3.1.3", "iPhone2,1");
    BackupWriter benFiles(ben.folder);
    benFiles.addMdinfoFile(
        "a1.mdinfo", inDomain("AppDomain-com.example.weather", "Documents/cities.plist"), "cities");
    benFiles.addMdinfoFile(
        "a2.mdinfo", inDomain("AppDomain-com.example.recipes", "Documents/favourites.json"), "{}");
    benFiles.addMdinfoFile(
        "a3.mdinfo",
        inDomain("AppDomain-com.example.recipes", "Library/Preferences/com.example.recipes.plist"),
        "prefs");
    benFiles.addMdinfoFile("a4.mdinfo", inDomain("HomeDomain", "Library/Safari/Bookmarks.plist"),
                           "bookmarks");
    benFiles.addDisplayName("com.example.weather", "Weather Now");
    benFiles.addDisplayName("com.example.recipes", "Recipes");
    ben.date(2010, 3, 14, 18, 5);

    const SampleDevice clara =
        device(home, primaryRoot, "3c5d27", "Clara's iPhone 4", "4.3.3", "iPhone3,1");
    BackupWriter claraFiles(clara.folder);
    claraFiles.addManifestDatabaseFile("AppDomain-com.example.notebook", "Documents/Shopping.txt",
                                       "milk, bread");
    claraFiles.addManifestDatabaseFile("AppDomain-com.example.notebook",
                                       "Documents/Holiday plans.txt", "Lisbon");
    claraFiles.addManifestDatabaseFile("AppDomain-com.example.notebook",
                                       "Documents/Attachments/map.png", "PNG");
    claraFiles.addManifestDatabaseFile("AppDomain-com.example.notebook",
                                       "Library/Preferences/com.example.notebook.plist", "prefs");
    claraFiles.addManifestDatabaseFile("AppDomain-com.example.runner", "Documents/runs.sqlite",
                                       "SQLite format 3");
    claraFiles.addManifestDatabaseFile("CameraRollDomain", "Media/DCIM/100APPLE/IMG_0042.JPG",
                                       "JPEG");
    claraFiles.addManifestDatabaseFile("HomeDomain", "Library/SMS/sms.db", "SQLite format 3");
    clara.date(2011, 6, 21, 22, 17);

    const SampleDevice daniel =
        device(home, alternateRoot, "4d8f03", "Daniel's iPhone 5s", "9.0.1", "iPhone6,1");
    BackupWriter danielFiles(daniel.folder);
    // This layout and the next record each file's modification time, which saving keeps.
    danielFiles.addUnindexedDatabaseFile("AppDomain-com.example.podcasts",
                                         "Documents/subscriptions.opml", "<opml/>", 1'441'000'000);
    danielFiles.addUnindexedDatabaseFile("AppDomain-com.example.podcasts",
                                         "Library/Caches/artwork.jpg", "JPEG", 1'442'000'000);
    danielFiles.addUnindexedDatabaseFile("HomeDomain", "Library/Notes/notes.sqlite",
                                         "SQLite format 3", 1'443'000'000);
    daniel.date(2015, 9, 30, 7, 12);

    const SampleDevice eva =
        device(home, alternateRoot, "5e9a66", "Eva's iPhone 12", "16.3.1", "iPhone13,2");
    BackupWriter evaFiles(eva.folder);
    evaFiles.addManifestDbFile("AppDomain-com.example.journal", "Documents/2023/January.md",
                               "# January", 1'675'000'000);
    evaFiles.addManifestDbFile("AppDomain-com.example.journal", "Documents/2023/February.md",
                               "# February", 1'677'000'000);
    evaFiles.addManifestDbFile("AppDomain-com.example.sketch", "Documents/Drawings/cat.sketch",
                               "lines", 1'676'000'000);
    evaFiles.addManifestDbFile("HomeDomain", "Library/Calendar/Calendar.sqlitedb",
                               "SQLite format 3", 1'677'500'000);
    eva.date(2023, 2, 28, 20, 30);

    // A modern backup as a real phone makes it: each application's containers under it, named
    // and with an icon from its Info.plist.
    const SampleDevice grace = device(home, alternateRoot, "5f2c91", "Grace's iPhone 14", "17.5.1",
                                      "iPhone14,7", sampleStoreApplications());
    BackupWriter graceFiles(grace.folder);
    writeModernSample(graceFiles, ModernLayout::ManifestDb, 1'693'200'000);
    grace.date(2023, 10, 8, 17, 45);

    // A phone's own databases, which the exports read: messages, contacts, WhatsApp chats, the
    // camera roll, calls and calendars.
    const SampleDevice hana =
        device(home, alternateRoot, "7a3e02", "Hana's iPhone 15 Pro", "17.4", "iPhone16,1");
    BackupWriter hanaFiles(hana.folder);
    writeSms(hanaFiles);
    writeContacts(hanaFiles);
    writeChats(hanaFiles);
    writeCameraRoll(
        exampleCameraRoll(PhotoSchema::Asset, LibraryFile::Database),
        [&](const std::string& path, const std::string& contents, std::uint32_t modified) {
            hanaFiles.addManifestDbFile("CameraRollDomain", path, contents, modified);
        });
    writeCalls(hanaFiles);
    writeCalendars(hanaFiles);
    hana.date(2024, 3, 2, 9, 15);

    // Encrypted, as most backups made today are.
    const SampleDevice farah =
        device(home, alternateRoot, "6f1b58", "Farah's iPhone 15", "17.2.1", "iPhone15,4");
    FixtureKeybag keybag;
    keybag.password = encryptedDevicePassword;
    EncryptedBackup farahFiles(farah.folder, EncryptedCatalogue::EncryptedManifestDb, keybag);
    farahFiles.addFile("AppDomain-com.example.fitness", "Documents/steps.csv", "date,steps",
                       1'704'067'200);
    farahFiles.addFile("AppDomain-com.example.fitness", "Documents/routes/morning.gpx", "<gpx/>",
                       1'705'000'000);
    farahFiles.addFile("HomeDomain", "Library/Notes/NoteStore.sqlite", "SQLite format 3",
                       1'705'300'000);
    farah.date(2024, 1, 15, 8, 0);
}

}  // namespace
}  // namespace salvora::test

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <home folder>\n", argv[0]);
        return 2;
    }
    salvora::test::writeSampleHome(argv[1]);
    std::printf("Farah's iPhone 15 is encrypted; its password is \"%s\".\n",
                salvora::test::encryptedDevicePassword);
    return 0;
}
