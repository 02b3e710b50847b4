#pragma once

// Times save all of one application against `cp -r` of the backup folder that stores its
// files.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "bench/Measure.h"

namespace salvora::bench {

struct SaveTimes {
    Timing save;  // medians; for the photo export, the export's
    Timing copy;
    std::size_t files = 0;
    std::uint64_t bytes = 0;
    std::size_t failures = 0;  // files save all could not save, over all runs
};

// The runs both savers are timed by: `runs` times a timed `cp -r` of `source` into
// `destination`, then `work` timed as it saves into `destination` with the log silenced,
// returning the files it could not save; each after a sync, `destination` removed after each.
// One untimed copy first warms the cache. Fills `save`, `copy` and `failures`.
void timeAgainstCopy(const std::string& source, const std::string& destination, int runs,
                     SaveTimes& times, const std::function<std::size_t(const std::string&)>& work);

// Every destination is made in `scratch` and removed after its run; the log of save all is
// silenced, as salvora-cli silences it. The cache is warmed by one untimed copy first, and the disk
// synced before each timed run so no earlier writing is flushed during it.
SaveTimes timeSaveAll(const std::string& backupFolder, const std::string& application,
                      const std::string& scratch, int runs);

}  // namespace salvora::bench
