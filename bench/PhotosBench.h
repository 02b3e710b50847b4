#pragma once

// Times the export of a camera roll's photos against `cp -r` of the backup folder that stores
// them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/Measure.h"

namespace salvora::bench {

struct PhotosTimes {
    Timing exportTime;  // medians
    Timing copy;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::size_t failures = 0;  // files the export could not make, over all runs
};

// A Manifest.db backup whose camera roll holds `photos` photos of `bytes` in all, listed in
// Photos.sqlite with capture dates over eight years.
void writeCameraRollBackup(const std::string& folder, std::size_t photos, std::uint64_t bytes);

// As timeSaveAll: each destination made in `scratch` and removed after its run, the cache
// warmed by one untimed copy, the disk synced before each timed run.
PhotosTimes timePhotoExport(const std::string& backupFolder, const std::string& scratch, int runs);

}  // namespace salvora::bench
