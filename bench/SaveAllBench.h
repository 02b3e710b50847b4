#pragma once

// Times save all of one application against `cp -r` of the backup folder that stores its
// files.
#include <cstddef>
#include <cstdint>
#include <string>

namespace salvora::bench {

struct SaveTimes {
    double save = 0;  // medians, seconds
    double copy = 0;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::size_t failures = 0;  // files save all could not save, over all runs
};

// Every destination is made in `scratch` and removed after its run; the log of save all goes
// to a file there. The cache is warmed by one untimed copy first, and the disk synced before
// each timed run so no earlier writing is flushed during it.
SaveTimes timeSaveAll(const std::string& backupFolder, const std::string& application,
                      const std::string& scratch, int runs);

}  // namespace salvora::bench
