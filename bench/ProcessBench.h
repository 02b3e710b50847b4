#pragma once

// Times whole processes, as a user pays for them: `salvora-cli apps` and `files` on a large
// backup, and a plain Python reference doing the listing's work on the same catalogue.
#include <string>
#include <vector>

#include "bench/ChildProcess.h"

namespace salvora::bench {

// Medians of several runs of one command.
struct ProcessTimes {
    bool succeeded = true;  // every run exited with status 0
    double seconds = 0;
    double processorSeconds = 0;
    double peakBytes = 0;
};

// Runs the command `runs` times after one untimed run that warms the cache.
ProcessTimes timeProcess(const std::vector<std::string>& arguments, int runs);

}  // namespace salvora::bench
