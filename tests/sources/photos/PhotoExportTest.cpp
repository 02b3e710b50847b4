// The export as the window runs it: progress through every file and a stop between two files
// that leaves only whole ones.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "catalog/Catalog.h"
#include "foundation/FileQueries.h"
#include "foundation/Log.h"
#include "sources/photos/PhotoExport.h"
#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {

class PhotoExport : public ::testing::Test {
  protected:
    // The dated folders are local: in Europe/Berlin, whatever zone the test runs in.
    PhotoExport() {
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }

    void writeBackup(const test::CameraRollDescription& roll) {
        test::BackupWriter backup(device.directory);
        test::writeCameraRoll(roll, [&](const std::string& path, const std::string& contents,
                                        std::uint32_t modified) {
            backup.addManifestDbFile("CameraRollDomain", path, contents, modified);
        });
        catalog.buildCatalogForDevice(device);
    }

    void writeExampleBackup() {
        writeBackup(test::exampleCameraRoll(test::PhotoSchema::Asset, test::LibraryFile::Database));
    }

    PhotoExportSummary exportWith(const SaveProgress& progress, PhotoExportOptions options = {}) {
        return exportPhotos(device.directory, *device.applications, destination, options, progress);
    }

    std::vector<std::string> exportedNames() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(destination))
            if (!entry.is_directory())
                names.push_back(std::filesystem::relative(entry.path(), destination).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::uint64_t exportedBytes() const {
        std::uint64_t bytes = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(destination))
            if (entry.is_regular_file()) bytes += entry.file_size();
        return bytes;
    }

    LogSilence silence;
    test::TemporaryFolder folder;
    std::string destination = folder / "out";
    DeviceRecord device{std::nullopt, std::nullopt, folder / "backup", nullptr};
    Catalog catalog;
};

TEST_F(PhotoExport, ReportsEachFileBeforeItAndTheTotalsAtTheEnd) {
    writeExampleBackup();
    std::vector<SaveStatus> reports;
    std::vector<std::string> names;
    auto summary = exportWith([&](const SaveStatus& state) {
        reports.push_back(state);
        names.emplace_back(state.current);
        return true;
    });
    EXPECT_TRUE(summary.failures.empty());
    ASSERT_EQ(reports.size(), 8u);
    for (std::size_t index = 0; index < 7; ++index) {
        EXPECT_EQ(reports[index].filesDone, index);
        EXPECT_NE(names[index], "");
    }
    const SaveStatus& last = reports.back();
    EXPECT_EQ(last.filesDone, 7u);
    EXPECT_EQ(last.filesTotal, 7u);
    EXPECT_EQ(names.back(), "");
    EXPECT_EQ(last.bytesDone, last.bytesTotal);
    EXPECT_EQ(last.bytesTotal, exportedBytes());
}

TEST_F(PhotoExport, AStopLeavesTheFilesMadeBeforeItWholeAndNothingElse) {
    writeExampleBackup();
    auto summary = exportWith([&](const SaveStatus& state) { return state.filesDone < 3; });
    EXPECT_TRUE(summary.cancelled);
    EXPECT_EQ(summary.photos + summary.videos + summary.editedVersions, 3u);
    EXPECT_EQ(exportedNames(),
              (std::vector<std::string>{"2023/07/Beach (edited).jpg", "2023/07/Beach.HEIC",
                                        "2023/07/Beach.MOV"}));
}

TEST_F(PhotoExport, NamesAndTitlesFromTheLibraryStayInsideTheChosenFolder) {
    test::CameraRollDescription roll;
    for (const char* original : {"../../escape.JPG", "/etc/passwd", ".."})
        roll.assets.push_back(
            {"DCIM/100APPLE", "IMG_" + std::to_string(roll.assets.size()) + ".JPG", original, 0});
    roll.assets.push_back({"../../..", "x.JPG", std::nullopt, 0});
    roll.albums = {{"../../Albums", 2, {0}}, {"..", 2, {1}}, {"", 2, {2, 3}}};
    writeBackup(roll);
    auto summary = exportWith({}, {.albums = true});
    EXPECT_TRUE(summary.failures.empty());
    EXPECT_EQ(summary.photos, 4u);
    const std::vector<std::string> inAlbum = {"2001/01/.._.._escape.JPG",
                                              "2001/01/IMG_2.JPG",
                                              "2001/01/_etc_passwd",
                                              "2001/01/x.JPG",
                                              "Albums/.._.._Albums/.._.._escape.JPG",
                                              "Albums/Untitled Album/IMG_2.JPG",
                                              "Albums/Untitled Album/_etc_passwd",
                                              "Albums/Untitled Album/x.JPG"};
    EXPECT_EQ(exportedNames(), inAlbum);
    EXPECT_EQ(*directoryContents(folder.path()), (std::vector<std::string>{"backup", "out"}));
}

}  // namespace
}  // namespace salvora
