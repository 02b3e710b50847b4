#pragma once

// Wall-clock and processor timing, and the medians the benchmarks print.
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <vector>

namespace salvora::bench {

template <typename Work>
double secondsOf(Work&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The processor time this process has used, all its threads together, in seconds. Beside the
// wall-clock time it shows how much of a figure was other work on a busy machine.
inline double processorSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

struct Timing {
    double wall = 0;
    double processor = 0;
};

template <typename Work>
Timing timingOf(Work&& work) {
    const double start = processorSeconds();
    Timing timing;
    timing.wall = secondsOf(work);
    timing.processor = processorSeconds() - start;
    return timing;
}

inline double median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline Timing median(const std::vector<Timing>& timings) {
    std::vector<double> walls;
    std::vector<double> processors;
    for (const Timing& timing : timings) {
        walls.push_back(timing.wall);
        processors.push_back(timing.processor);
    }
    return {median(walls), median(processors)};
}

}  // namespace salvora::bench
