#include "bench/PhotosBench.h"

#include <cstdio>

#include "catalog/Catalog.h"
#include "sources/photos/PhotoExport.h"
#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"

namespace salvora::bench {
namespace {

constexpr double january2016 = 473385600;  // seconds since 2001
constexpr double sevenHours = 7 * 3600;

}  // namespace

void writeCameraRollBackup(const std::string& folder, std::size_t photos, std::uint64_t bytes) {
    test::CameraRollDescription roll;
    for (std::size_t index = 0; index < photos; ++index) {
        char name[32];
        std::snprintf(name, sizeof name, "IMG_%04zu.JPG", index % 10000);
        roll.assets.push_back({"DCIM/" + std::to_string(100 + index / 1000) + "APPLE", name,
                               std::nullopt, january2016 + double(index) * sevenHours});
    }
    const std::size_t photoBytes = photos == 0 ? 0 : bytes / photos;
    test::BackupWriter backup(folder);
    test::writeCameraRoll(roll, [&](const std::string& path, const std::string& contents,
                                    std::uint32_t lastModified) {
        std::string body = contents;
        if (path.starts_with("Media/DCIM/")) body.resize(photoBytes, 'p');
        backup.addManifestDbFile("CameraRollDomain", path, body, lastModified);
    });
}

SaveTimes timePhotoExport(const std::string& backupFolder, const std::string& scratch, int runs) {
    DeviceRecord device;
    device.directory = backupFolder;
    Catalog catalog;
    catalog.buildCatalogForDevice(device);

    SaveTimes times;
    timeAgainstCopy(backupFolder, scratch + "/photos", runs, times,
                    [&](const std::string& destination) {
                        const PhotoExportSummary summary =
                            exportPhotos(device.directory, *device.applications, destination, {},
                                         [&](const SaveStatus& progress) {
                                             times.files = progress.filesTotal;
                                             times.bytes = progress.bytesTotal;
                                             return true;
                                         });
                        return summary.failures.size();
                    });
    return times;
}

}  // namespace salvora::bench
