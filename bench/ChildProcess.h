#pragma once

// Runs another program to its end and reports what it cost.
//
// A child's peak memory (ru_maxrss) starts from the memory of the process that forked it, and a
// benchmark that has just built a million-file catalogue is large. So the program is started
// by a small go-between (this same executable in its measuring mode, which has just been
// started and holds almost nothing), which forks it, waits for it and writes down its figures.
#include <string>
#include <vector>

namespace salvora::bench {

struct ChildRun {
    bool succeeded = false;  // started and exited with status 0
    double seconds = 0;
    double processorSeconds = 0;  // user and system time together
    long peakResidentKiB = 0;     // the program's own ru_maxrss
};

// Runs `arguments` (the program is looked up in PATH), its standard output going to
// `outputPath`, with `environment` ("NAME=value") added to this process's own.
ChildRun runChild(const std::vector<std::string>& arguments,
                  const std::string& outputPath = "/dev/null",
                  const std::vector<std::string>& environment = {});

// The measuring mode: when the arguments are "--measure-into RESULT -- PROGRAM ...", runs the
// program and writes its figures to RESULT, returning the exit status to give; otherwise -1.
int measuringMain(int argc, char** argv);

}  // namespace salvora::bench
