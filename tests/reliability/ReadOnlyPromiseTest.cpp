// Salvora never changes a backup. Discovery, every catalogue build, every save and every
// salvora-cli command leave the backup roots byte for byte and time for time as they were,
// with no journal or any other file beside the backups; and everything reads the same when
// the backups can't be written at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "catalog/Catalog.h"
#include "cli/Cli.h"
#include "discovery/Discovery.h"
#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/CatalogInspection.h"
#include "support/CliBackups.h"
#include "support/EncryptedBackup.h"
#include "support/ExpectInChild.h"
#include "support/FixtureHome.h"
#include "support/FolderSnapshot.h"

namespace salvora {
namespace {
using test::BackupRoot;
using test::Layout;

constexpr Layout everyLayout[] = {Layout::ManifestDatabase, Layout::UnindexedDatabase,
                                  Layout::Mdbackup, Layout::Mdinfo, Layout::ManifestDb};
constexpr BackupRoot everyRoot[] = {BackupRoot::Primary, BackupRoot::Alternate, BackupRoot::Store,
                                    BackupRoot::Mac};

class ReadOnlyPromise : public testing::Test {
  protected:
    void SetUp() override {
        for (Layout layout : everyLayout) {
            const std::string name = test::layoutName(layout);
            test::writeLayoutBackup(home.addBackup(BackupRoot::Primary, name, name), layout);
        }
        // Every layout in one folder (the database without index yields to the one with an
        // index), display names, and a Manifest.db in write-ahead-log mode, which makes an
        // ordinary reader create files beside it.
        const std::string mixed = home.addBackup(BackupRoot::Alternate, "mixed", "Mixed");
        for (Layout layout : everyLayout)
            if (layout != Layout::UnindexedDatabase) test::writeLayoutBackup(mixed, layout);
        test::BackupWriter(mixed).addDisplayName("notes", "Notes");
        test::runSql(mixed + "/Manifest.db", "PRAGMA journal_mode = WAL;");
        // Encrypted backups of every catalogue that encrypts, opened with their password.
        int number = 0;
        for (auto catalogue : {test::EncryptedCatalogue::EncryptedManifestDb,
                               test::EncryptedCatalogue::PlainManifestDb,
                               test::EncryptedCatalogue::UnindexedDatabase}) {
            const std::string name = "Encrypted " + std::to_string(++number);
            test::EncryptedBackup backup(home.addBackup(BackupRoot::Mac, name, name), catalogue);
            backup.addFile("AppDomain-com.example.notes", "Documents/a.txt", "a", 1500000000);
            backup.addFile("AppDomain-com.example.notes", "Library/b.db", "b");
        }
        passwordFile = secrets / "password";
        test::writeFile(passwordFile, password + "\n");
    }

    std::vector<std::string> snapshotOfTheRoots() const {
        std::vector<std::string> snapshot;
        for (BackupRoot root : everyRoot) {
            if (!fileExists(home.rootPath(root))) continue;
            for (std::string& line : test::folderSnapshot(home.rootPath(root)))
                snapshot.push_back(std::move(line));
        }
        return snapshot;
    }

    // Runs everything that reads the backups, saving below `destination`; returns what was
    // found and how each step ended, to compare between runs.
    static std::string readEverything(const std::string& destination) {
        LogSilence quiet;
        std::ostringstream found;
        const DeviceList devices = getDevices();
        Catalog catalog;
        for (std::size_t index = 0; index < devices.size(); ++index) {
            DeviceRecord& device = *devices[index];
            const std::string saved = destination + "/" + std::to_string(index);
            if (test::needsPassword(catalog.buildCatalog(device)))
                found << (catalog.unlockBackup(device.directory, password) ? "unlocked\n"
                                                                           : "locked\n");
            const ApplicationList applications = catalog.buildCatalogForDevice(device);
            const UnlockedKeybag* keybag = catalog.keybagFor(device.directory).get();
            for (const auto& application : applications) {
                found << device.name.value_or("") << " " << application->name << ":";
                for (const FileOutcome& outcome :
                     saveAll(device.directory, application->files, saved + "/all", {}, keybag))
                    found << " " << describe(outcome.error);
                int one = 0;
                for (const FileRecord& file : application->files) {
                    const std::string target = saved + "/one" + std::to_string(++one);
                    found << " "
                          << describe(saveFile(device.directory, file, target, keybag).error);
                }
                found << "\n";
            }
            found << runCli(index, applications.empty() ? nullptr : applications.front().get(),
                            destination);
        }
        return found.str();
    }

    static std::string describe(const ErrorSlot& error) { return error ? "failed" : "saved"; }

    // Every command on the device, the application and its first file, when there is one.
    static std::string runCli(std::size_t index, const ApplicationRecord* application,
                              const std::string& destination) {
        const std::string device = std::to_string(index + 1);
        const std::string out = destination + "/cli" + device;
        std::vector<std::vector<std::string>> commands{{"devices"},
                                                       {"devices", "--json"},
                                                       {"apps", device, "--json"},
                                                       {"files", device},
                                                       {"extract", device, "--all", out + "/all"}};
        if (application != nullptr) {
            commands.push_back({"extract", device, application->name, out + "/app"});
            commands.push_back({"extract-file", device, application->name,
                                std::string(application->files.front().fullpath().value_or("")),
                                out + "/one"});
        }
        std::string statuses = "cli";
        for (auto& args : commands) {
            if (args.front() != "devices")
                args.insert(args.end(), {"--password-file", passwordFile});
            std::ostringstream ignored;
            statuses += " " + std::to_string(cli::run(args, ignored, ignored));
        }
        return statuses + "\n";
    }

    inline static const std::string password = test::FixtureKeybag{}.password;
    inline static std::string passwordFile;

    test::FixtureHome home;
    test::TemporaryFolder destination;
    test::TemporaryFolder secrets;
};

TEST_F(ReadOnlyPromise, EverythingLeavesTheBackupsAsTheyWere) {
    const auto before = snapshotOfTheRoots();
    const std::string found = readEverything(destination.path());
    EXPECT_NE(found.find("Mixed com.example.notes: saved saved saved saved"), std::string::npos)
        << found;
    EXPECT_NE(found.find("Encrypted 3 com.example.notes: saved saved saved saved"),
              std::string::npos)
        << found;
    EXPECT_EQ(snapshotOfTheRoots(), before);
}

TEST_F(ReadOnlyPromise, BackupsThatCannotBeWrittenReadTheSame) {
    const std::string asOwner = readEverything(destination / "owner");
    const auto before = snapshotOfTheRoots();
    // The backups stay root's and can only be read; the child saves into its own folder.
    ::chmod(home.path().c_str(), 0755);
    std::filesystem::create_directory(destination / "nobody");
    test::handOverToUnprivilegedUser(destination / "nobody");
    ::chmod(destination.path().c_str(), 0755);
    ::chmod(secrets.path().c_str(), 0755);
    test::expectAsUnprivilegedUser(
        [&] { EXPECT_EQ(readEverything(destination / "nobody"), asOwner); });
    EXPECT_EQ(snapshotOfTheRoots(), before);
}

}  // namespace
}  // namespace salvora
