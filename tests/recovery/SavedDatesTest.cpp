// Saved files carry the modification time the file had on the phone, wherever the layout
// records it, and the time of saving wherever it doesn't.
#include <gtest/gtest.h>

#include <ctime>

#include "catalog/Catalog.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"
#include "support/BackupWriter.h"
#include "support/StoredFiles.h"

namespace salvora {
namespace {
using test::modificationSeconds;

constexpr std::uint32_t PhoneTime = 1'234'567'890;  // February 2009

class SavedDatesTest : public testing::Test {
  protected:
    // Builds the catalogue and saves every file of the application below the destination.
    void saveEverything(const std::string& application) {
        catalog.buildCatalogForDevice(device);
        for (const auto& outcome : saveAll(
                 backup.folder(), device.applications->at(application)->files, destination.path()))
            EXPECT_FALSE(outcome.error) << outcome.error->description();
    }

    test::TemporaryFolder folder;
    test::BackupWriter backup{folder / "backup"};
    test::TemporaryFolder destination;
    Catalog catalog;
    DeviceRecord device{"Phone", std::nullopt, backup.folder(), nullptr};
    const std::int64_t started = std::time(nullptr);
    LogCapture log;
};

TEST_F(SavedDatesTest, TheDatabaseWithoutIndexGivesItsDates) {
    backup.addUnindexedDatabaseFile("AppDomain-com.example.notes", "a.txt", "alpha", PhoneTime);
    saveEverything("com.example.notes");
    EXPECT_EQ(modificationSeconds(destination / "a.txt"), PhoneTime);
}

TEST_F(SavedDatesTest, ManifestDbGivesItsDates) {
    backup.addManifestDbFile("AppDomain-com.example.notes", "a.txt", "alpha", PhoneTime);
    saveEverything("com.example.notes");
    EXPECT_EQ(modificationSeconds(destination / "a.txt"), PhoneTime);
}

TEST_F(SavedDatesTest, LayoutsWithoutDatesGiveTheTimeOfSaving) {
    backup.addManifestDatabaseFile("AppDomain-com.example.notes", "a.txt", "alpha");
    backup.addMdbackupFile("b.mdbackup", "notes/b.txt", "bravo");
    saveEverything("notes");
    EXPECT_GE(modificationSeconds(destination / "a.txt"), started);
    EXPECT_GE(modificationSeconds(destination / "notes/b.txt"), started);
}

TEST_F(SavedDatesTest, TheWriteWayTakesADateToo) {
    test::writeMdbackup(backup / "w.mdbackup", "w.txt", "written");
    FileRecord record =
        test::keptRecord("w.mdbackup", "w.txt", true, {PhoneTime, std::nullopt, std::nullopt});
    EXPECT_FALSE(saveFile(backup.folder(), record, destination / "w.txt").error);
    EXPECT_EQ(modificationSeconds(destination / "w.txt"), PhoneTime);
}

}  // namespace
}  // namespace salvora
