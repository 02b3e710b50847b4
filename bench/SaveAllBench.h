#pragma once

// Times save all of one application against `cp -r` of the backup folder that stores its
// files.
#include <cstddef>
#include <cstdint>
#include <string>

#include "bench/Measure.h"

namespace salvora::bench {

struct SaveTimes {
    Timing save;  // medians
    Timing copy;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::size_t failures = 0;  // files save all could not save, over all runs
};

// Every destination is made in `scratch` and removed after its run; the log of save all is
// silenced, as salvora-cli silences it. The cache is warmed by one untimed copy first, and the disk
// synced before each timed run so no earlier writing is flushed during it.
SaveTimes timeSaveAll(const std::string& backupFolder, const std::string& application,
                      const std::string& scratch, int runs);

}  // namespace salvora::bench
