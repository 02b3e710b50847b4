#include "bench/SaveAllBench.h"

#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

#include "bench/ChildProcess.h"
#include "bench/Measure.h"
#include "catalog/Catalog.h"
#include "foundation/Log.h"
#include "recovery/Recovery.h"

namespace salvora::bench {
namespace {

Timing timedCopy(const std::string& source, const std::string& destination) {
    ChildRun run = runChild({"cp", "-r", source, destination});
    if (!run.succeeded) throw std::runtime_error("cp -r " + source + " failed");
    return {run.seconds, run.processorSeconds};
}

}  // namespace

SaveTimes timeSaveAll(const std::string& backupFolder, const std::string& application,
                      const std::string& scratch, int runs) {
    DeviceRecord device;
    device.directory = backupFolder;
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    auto found = device.applications->find(application);
    if (found == device.applications->end())
        throw std::runtime_error("no application " + application + " in " + backupFolder);
    const std::vector<FileRecord>& files = found->second->files;

    SaveTimes times;
    times.files = files.size();
    for (const FileRecord& file : files)
        times.bytes += std::filesystem::file_size(backupFolder + "/" + std::string(file.name()));

    const std::string destination = scratch + "/destination";
    timedCopy(backupFolder, destination);
    std::filesystem::remove_all(destination);

    std::vector<Timing> copies;
    std::vector<Timing> saves;
    for (int run = 0; run < runs; ++run) {
        ::sync();
        copies.push_back(timedCopy(backupFolder, destination));
        std::filesystem::remove_all(destination);
        ::sync();
        {
            // As salvora-cli does: a log line per file, appended to a file on the same disk
            // as the copies, would be timed as well.
            LogSilence silence;
            std::vector<FileOutcome> outcomes;
            saves.push_back(
                timingOf([&] { outcomes = saveAll(device.directory, files, destination); }));
            for (const FileOutcome& outcome : outcomes) times.failures += outcome.error ? 1 : 0;
        }
        std::filesystem::remove_all(destination);
    }
    times.save = median(saves);
    times.copy = median(copies);
    return times;
}

}  // namespace salvora::bench
