#include "bench/CatalogueBench.h"

#include "bench/BackupShape.h"
#include "bench/Measure.h"
#include "catalog/Catalog.h"
#include "catalog/naming/ApplicationNames.h"
#include "foundation/FileReading.h"
#include "plist/PropertyList.h"

namespace salvora::bench {
namespace {

// Builds once; the records are let go after the clock stops, as the window keeps them until
// the next build.
Timing timeOneBuild(const std::string& folder, CatalogueTimes& times) {
    DeviceRecord device;
    device.directory = folder;
    Catalog catalog;
    ApplicationList applications;
    const Timing elapsed = timingOf([&] { applications = catalog.buildCatalogForDevice(device); });
    times.applications = applications.size();
    times.files = 0;
    for (const auto& application : applications) times.files += application->files.size();
    return elapsed;
}

Timing timeOneRead(const std::string& folder, const std::vector<std::string>& files,
                   CatalogueTimes& times) {
    std::vector<FileBytes> contents;
    const Timing elapsed = timingOf([&] {
        for (const std::string& name : files) {
            if (auto bytes = readFile(folder + "/" + name)) contents.push_back(std::move(*bytes));
        }
    });
    times.catalogueBytes = 0;
    for (const FileBytes& bytes : contents) times.catalogueBytes += double(bytes.size());
    return elapsed;
}

}  // namespace

InfoPlistTimes timeInfoPlistNames(const std::string& folder, int runs) {
    DeviceRecord device;
    device.directory = folder;
    Catalog catalog;
    catalog.buildCatalogForDevice(device);
    ApplicationMap& applications = *device.applications;
    InfoPlistTimes times;
    std::vector<Timing> names;
    std::vector<Timing> wholes;
    for (int run = 0; run < runs; ++run) {
        names.push_back(timingOf([&] { nameApplications(readStoreNames(folder), applications); }));
        wholes.push_back(timingOf([&] { PropertyList::fromFile(folder + "/Info.plist"); }));
    }
    times.names = median(names);
    times.whole = median(wholes);
    if (auto bytes = readFile(folder + "/Info.plist")) times.bytes = double(bytes->size());
    for (const auto& [name, application] : applications)
        times.named += application->displayName == storeName(name);
    return times;
}

CatalogueTimes timeCatalogue(const std::string& folder, const std::vector<std::string>& files,
                             int runs) {
    CatalogueTimes times;
    timeOneRead(folder, files, times);
    timeOneBuild(folder, times);
    std::vector<Timing> builds;
    std::vector<Timing> reads;
    for (int run = 0; run < runs; ++run) {
        reads.push_back(timeOneRead(folder, files, times));
        builds.push_back(timeOneBuild(folder, times));
    }
    times.build = median(builds);
    times.read = median(reads);
    return times;
}

}  // namespace salvora::bench
