#include "bench/ProcessBench.h"

#include "bench/Measure.h"

namespace salvora::bench {

ProcessTimes timeProcess(const std::vector<std::string>& arguments, int runs) {
    ProcessTimes times;
    times.succeeded = runChild(arguments).succeeded;
    std::vector<double> walls;
    std::vector<double> processors;
    std::vector<double> peaks;
    for (int run = 0; run < runs; ++run) {
        const ChildRun child = runChild(arguments);
        times.succeeded = times.succeeded && child.succeeded;
        walls.push_back(child.seconds);
        processors.push_back(child.processorSeconds);
        peaks.push_back(double(child.peakResidentKiB) * 1024);
    }
    times.seconds = median(walls);
    times.processorSeconds = median(processors);
    times.peakBytes = median(peaks);
    return times;
}

}  // namespace salvora::bench
