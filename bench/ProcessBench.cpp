#include "bench/ProcessBench.h"

#include "bench/Measure.h"

namespace salvora::bench {

std::vector<ProcessTimes> timeProcesses(const std::vector<std::vector<std::string>>& commands,
                                        int runs, const std::function<void()>& beforeEach) {
    std::vector<ProcessTimes> times(commands.size());
    for (std::size_t command = 0; command < commands.size(); ++command) {
        if (beforeEach) beforeEach();
        times[command].succeeded = runChild(commands[command]).succeeded;
    }
    std::vector<std::vector<double>> walls(commands.size());
    std::vector<std::vector<double>> processors(commands.size());
    std::vector<std::vector<double>> peaks(commands.size());
    for (int run = 0; run < runs; ++run) {
        for (std::size_t command = 0; command < commands.size(); ++command) {
            if (beforeEach) beforeEach();
            const ChildRun child = runChild(commands[command]);
            times[command].succeeded = times[command].succeeded && child.succeeded;
            walls[command].push_back(child.seconds);
            processors[command].push_back(child.processorSeconds);
            peaks[command].push_back(double(child.peakResidentKiB) * 1024);
        }
    }
    for (std::size_t command = 0; command < commands.size(); ++command) {
        times[command].seconds = median(walls[command]);
        times[command].processorSeconds = median(processors[command]);
        times[command].peakBytes = median(peaks[command]);
    }
    return times;
}

}  // namespace salvora::bench
