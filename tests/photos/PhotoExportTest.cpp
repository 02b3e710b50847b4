// The export as the window runs it: progress through every file and a stop between two files
// that leaves only whole ones.
#include <gtest/gtest.h>

#include <filesystem>

#include "catalog/Catalog.h"
#include "foundation/Log.h"
#include "photos/PhotoExport.h"
#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

class PhotoExport : public ::testing::Test {
  protected:
    PhotoExport() {
        test::BackupWriter backup(device.directory);
        test::writeCameraRoll(
            test::exampleCameraRoll(test::PhotoSchema::Asset, test::LibraryFile::Database),
            [&](const std::string& path, const std::string& contents, std::uint32_t modified) {
                backup.addManifestDbFile("CameraRollDomain", path, contents, modified);
            });
        catalog.buildCatalogForDevice(device);
    }

    PhotoExportSummary exportWith(const PhotoExportProgressCallback& progress,
                                  std::stop_token stop = {}) {
        return exportPhotos(device.directory, *device.applications, destination.path(), {},
                            progress, std::move(stop));
    }

    std::vector<std::string> exportedNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(destination.path()))
            if (!entry.is_directory()) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::uint64_t exportedBytes() const {
        std::uint64_t bytes = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(destination.path()))
            if (entry.is_regular_file()) bytes += entry.file_size();
        return bytes;
    }

    LogSilence silence;
    test::TemporaryFolder folder;
    test::TemporaryFolder destination;
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    Catalog catalog;
};

TEST_F(PhotoExport, ReportsEachFileBeforeItAndTheTotalsAtTheEnd) {
    std::vector<PhotoExportProgress> reports;
    auto summary = exportWith([&](const PhotoExportProgress& state) { reports.push_back(state); });
    EXPECT_TRUE(summary.failures.empty());
    ASSERT_EQ(reports.size(), 8u);
    for (std::size_t index = 0; index < 7; ++index) {
        EXPECT_EQ(reports[index].filesDone, index);
        EXPECT_NE(reports[index].currentFile, "");
    }
    const PhotoExportProgress& last = reports.back();
    EXPECT_EQ(last.filesDone, 7u);
    EXPECT_EQ(last.filesTotal, 7u);
    EXPECT_EQ(last.currentFile, "");
    EXPECT_EQ(last.bytesDone, last.bytesTotal);
    EXPECT_EQ(last.bytesTotal, exportedBytes());
}

TEST_F(PhotoExport, AStopLeavesTheFilesMadeBeforeItWholeAndNothingElse) {
    std::stop_source stop;
    auto summary = exportWith(
        [&](const PhotoExportProgress& state) {
            if (state.filesDone == 3) stop.request_stop();
        },
        stop.get_token());
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.photos + summary.videos + summary.editedVersions, 3u);
    EXPECT_EQ(exportedNames(),
              (std::vector<std::string>{"Beach (edited).jpg", "Beach.HEIC", "Beach.MOV"}));
}

}  // namespace
}  // namespace salvora
