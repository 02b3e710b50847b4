#pragma once

// Times the export of a camera roll's photos against `cp -r` of the backup folder that stores
// them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/SaveAllBench.h"

namespace salvora::bench {

// A Manifest.db backup whose camera roll holds `photos` photos of `bytes` in all, listed in
// Photos.sqlite with capture dates over eight years.
void writeCameraRollBackup(const std::string& folder, std::size_t photos, std::uint64_t bytes);

// As timeSaveAll: each destination made in `scratch` and removed after its run, the cache
// warmed by one untimed copy, the disk synced before each timed run.
SaveTimes timePhotoExport(const std::string& backupFolder, const std::string& scratch, int runs);

}  // namespace salvora::bench
