// A backup that can't be read, that vanishes after discovery, or whose files are FIFOs: the
// catalogue is built from what can be read, saving fails file by file, and nothing waits for
// ever.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "catalog/Catalog.h"
#include "discovery/Discovery.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/CatalogInspection.h"
#include "support/CliBackups.h"
#include "support/ExpectInChild.h"
#include "support/FixtureHome.h"

namespace salvora {
namespace {
namespace fs = std::filesystem;
using test::BackupRoot;
using test::Layout;

using Names = std::vector<std::string>;

std::shared_ptr<DeviceRecord> onlyDevice() {
    DeviceList devices = scanBackupRoots();
    if (devices.size() != 1) throw std::runtime_error("expected one device");
    return devices.front();
}

Names catalogueNames(DeviceRecord& device) {
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    return test::applicationNames(*device.applications);
}

struct LockedFiles {
    Layout layout;
    Names catalogueFiles;  // the layout's files that are made unreadable
    Names applications;    // what the catalogue still shows
};

void PrintTo(const LockedFiles& locked, std::ostream* out) { *out << layoutName(locked.layout); }

class UnreadableCatalogueFiles : public testing::TestWithParam<LockedFiles> {};

TEST_P(UnreadableCatalogueFiles, AreReadAsMissingOrUnreadableLists) {
    test::FixtureHome home;
    const std::string folder = home.addBackup(BackupRoot::Primary, "locked", "Phone");
    test::writeLayoutBackup(folder, GetParam().layout);
    test::handOverToUnprivilegedUser(home.path());
    for (const std::string& name : GetParam().catalogueFiles)
        ::chmod((folder + "/" + name).c_str(), 0);
    ::chmod((folder + "/Info.plist").c_str(), 0);
    test::expectAsUnprivilegedUser([&] {
        auto device = onlyDevice();
        EXPECT_EQ(device->name, std::nullopt);
        EXPECT_EQ(catalogueNames(*device), GetParam().applications);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Reliability, UnreadableCatalogueFiles,
    testing::Values(LockedFiles{Layout::ManifestDatabase, {"Manifest.mbdx", "Manifest.mbdb"}, {}},
                    LockedFiles{Layout::UnindexedDatabase, {"Manifest.mbdb"}, {}},
                    // A ".mdbackup" holds its contents: unread, there is nothing to give back.
                    LockedFiles{Layout::Mdbackup, {"1.mdbackup", "2.mdbackup"}, {}},
                    // An ".mdinfo" that can't be read still has its ".mddata" beside it.
                    LockedFiles{Layout::Mdinfo, {"1.mdinfo", "2.mdinfo"}, {""}},
                    LockedFiles{Layout::ManifestDb, {"Manifest.db"}, {}}),
    [](const auto& info) { return layoutName(info.param.layout); });

TEST(UnreadableBackupFolder, IsListedWithoutNameAndGivesAnEmptyCatalogue) {
    test::FixtureHome home;
    const std::string folder = home.addBackup(BackupRoot::Primary, "locked", "Phone");
    test::writeLayoutBackup(folder, Layout::ManifestDb);
    test::handOverToUnprivilegedUser(home.path());
    ::chmod(folder.c_str(), 0);
    test::expectAsUnprivilegedUser([&] {
        auto device = onlyDevice();
        EXPECT_EQ(device->name, std::nullopt);
        EXPECT_TRUE(device->date.has_value());
        EXPECT_EQ(catalogueNames(*device), Names{});
    });
}

class VanishedBackup : public testing::TestWithParam<Layout> {};

TEST_P(VanishedBackup, GivesAnEmptyCatalogueAndAnErrorForEveryFileSaved) {
    test::FixtureHome home;
    const std::string folder = home.addBackup(BackupRoot::Primary, "gone", "Phone");
    test::writeLayoutBackup(folder, GetParam());
    auto device = onlyDevice();
    Catalog catalog;
    // Kept past the next build, which lets the device's catalogue go.
    const auto application = catalog.buildCatalogForDevice(*device).front();
    const std::vector<FileRecord>& files = application->files;
    ASSERT_EQ(files.size(), 2u);

    fs::remove_all(folder);
    EXPECT_TRUE(catalog.buildCatalogForDevice(*device).empty());
    EXPECT_TRUE(device->applications->empty());

    LogCapture log;
    const std::string destination = home / "saved";
    const std::string gone = "Could not open folder \"" + folder + "\": No such file or directory";
    for (const FileOutcome& outcome : saveAll(folder, files, destination))
        EXPECT_EQ(outcome.error ? outcome.error->description() : "saved", gone);
    EXPECT_EQ(saveFile(folder, files.front(), home / "one").error->description(), gone);
    for (const auto& entry : fs::recursive_directory_iterator(destination))
        EXPECT_FALSE(entry.is_regular_file()) << entry.path();
    EXPECT_FALSE(fs::exists(home / "one"));
}

INSTANTIATE_TEST_SUITE_P(Reliability, VanishedBackup,
                         testing::Values(Layout::ManifestDatabase, Layout::UnindexedDatabase,
                                         Layout::Mdbackup, Layout::Mdinfo, Layout::ManifestDb),
                         [](const auto& info) { return layoutName(info.param); });

struct FifoCase {
    std::string label;
    std::string name;  // the catalogue file that is a FIFO, or a link to one
    bool linked;
};

void PrintTo(const FifoCase& fifo, std::ostream* out) { *out << fifo.label; }

class CatalogueFileThatIsAFifo : public testing::TestWithParam<FifoCase> {};

// Opening a FIFO for reading waits for a writer that never comes; the build must not.
TEST_P(CatalogueFileThatIsAFifo, IsPassedOverWithoutWaiting) {
    test::FixtureHome home;
    const std::string folder = home.addBackup(BackupRoot::Primary, "fifo", "Phone");
    test::BackupWriter backup(folder);
    backup.addMdinfoFile("sound.mdinfo", test::mdinfo("AppDomain-notes", "Documents/a.txt"), "a");
    const std::string fifo =
        GetParam().linked ? home / "elsewhere" : folder + "/" + GetParam().name;
    fs::remove(folder + "/" + GetParam().name);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    if (GetParam().linked) fs::create_symlink(fifo, folder + "/" + GetParam().name);
    test::expectInChild(
        [&] {
            auto device = onlyDevice();
            const Names names = catalogueNames(*device);
            EXPECT_NE(std::find(names.begin(), names.end(), "notes"), names.end());
        },
        {.watchdogSeconds = 20});
}

INSTANTIATE_TEST_SUITE_P(Reliability, CatalogueFileThatIsAFifo,
                         testing::Values(FifoCase{"ManifestDb", "Manifest.db", false},
                                         FifoCase{"ManifestDbLinkedToAFifo", "Manifest.db", true},
                                         FifoCase{"ManifestIndex", "Manifest.mbdx", false},
                                         FifoCase{"ManifestDatabase", "Manifest.mbdb", false},
                                         FifoCase{"ManifestPlist", "Manifest.plist", false},
                                         FifoCase{"InfoPlist", "Info.plist", false},
                                         FifoCase{"Mdbackup", "x.mdbackup", false},
                                         FifoCase{"Mdinfo", "x.mdinfo", false}),
                         [](const auto& info) { return info.param.label; });

}  // namespace
}  // namespace salvora
