#pragma once

// Times whole processes, as a user pays for them: `salvora-cli apps` and `files` on a large
// backup, and a plain Python reference doing the listing's work on the same catalogue.
#include <functional>
#include <string>
#include <vector>

#include "bench/ChildProcess.h"

namespace salvora::bench {

// Medians of several runs of a command.
struct ProcessTimes {
    bool succeeded = true;  // every run exited with status 0
    double seconds = 0;
    double processorSeconds = 0;
    double peakBytes = 0;
};

// Runs each command `runs` times after one untimed run that warms the cache, taking the commands
// in turn run by run: this machine's speed wanders from minute to minute, and the commands
// compared then meet the same minutes. `beforeEach`, when given, runs untimed before every run
// of every command (to remove what the last one wrote).
std::vector<ProcessTimes> timeProcesses(const std::vector<std::vector<std::string>>& commands,
                                        int runs, const std::function<void()>& beforeEach = {});

}  // namespace salvora::bench
