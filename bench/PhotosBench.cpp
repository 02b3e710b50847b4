#include "bench/PhotosBench.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "bench/ChildProcess.h"
#include "catalog/Catalog.h"
#include "foundation/Log.h"
#include "photos/PhotoExport.h"
#include "support/BackupWriter.h"
#include "support/CameraRollWriter.h"

namespace salvora::bench {
namespace {

constexpr double january2016 = 473385600;  // seconds since 2001
constexpr double sevenHours = 7 * 3600;

Timing timedCopy(const std::string& source, const std::string& destination) {
    ChildRun run = runChild({"cp", "-r", source, destination});
    if (!run.succeeded) throw std::runtime_error("cp -r " + source + " failed");
    return {run.seconds, run.processorSeconds};
}

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

PhotosTimes timePhotoExport(const std::string& backupFolder, const std::string& scratch, int runs) {
    DeviceRecord device;
    device.directory = backupFolder;
    Catalog catalog;
    catalog.buildCatalogForDevice(device);

    const std::string destination = scratch + "/photos";
    timedCopy(backupFolder, destination);
    std::filesystem::remove_all(destination);

    PhotosTimes times;
    std::vector<Timing> copies;
    std::vector<Timing> exports;
    for (int run = 0; run < runs; ++run) {
        ::sync();
        copies.push_back(timedCopy(backupFolder, destination));
        std::filesystem::remove_all(destination);
        ::sync();
        LogSilence silence;
        PhotoExportSummary summary;
        exports.push_back(timingOf([&] {
            summary = exportPhotos(device.directory, *device.applications, destination, {},
                                   [&](const PhotoExportProgress& progress) {
                                       times.files = progress.filesTotal;
                                       times.bytes = progress.bytesTotal;
                                   });
        }));
        times.failures += summary.failures.size();
        std::filesystem::remove_all(destination);
    }
    times.exportTime = median(exports);
    times.copy = median(copies);
    return times;
}

}  // namespace salvora::bench
