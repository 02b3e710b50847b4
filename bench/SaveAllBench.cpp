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

void timeAgainstCopy(const std::string& source, const std::string& destination, int runs,
                     SaveTimes& times, const std::function<std::size_t(const std::string&)>& work) {
    timedCopy(source, destination);
    std::filesystem::remove_all(destination);
    std::vector<Timing> copies;
    std::vector<Timing> saves;
    for (int run = 0; run < runs; ++run) {
        ::sync();
        copies.push_back(timedCopy(source, destination));
        std::filesystem::remove_all(destination);
        ::sync();
        {
            // As salvora-cli does: a log line per file, appended to a file on the same disk
            // as the copies, would be timed as well.
            LogSilence silence;
            saves.push_back(timingOf([&] { times.failures += work(destination); }));
        }
        std::filesystem::remove_all(destination);
    }
    times.save = median(saves);
    times.copy = median(copies);
}

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
        times.bytes += std::filesystem::file_size(backupFolder + "/" + file.name());

    timeAgainstCopy(
        backupFolder, scratch + "/destination", runs, times, [&](const std::string& destination) {
            std::size_t failures = 0;
            for (const FileOutcome& outcome : saveAll(device.directory, files, destination))
                failures += outcome.error ? 1 : 0;
            return failures;
        });
    return times;
}

}  // namespace salvora::bench
