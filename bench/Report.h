#pragma once

// The benchmark's output: figures as they are measured, and each target met or not.
#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "bench/Measure.h"

namespace salvora::bench {

class Report {
  public:
    explicit Report(std::ostream& out) : out_(out) {}

    void heading(const std::string& text);
    void figure(const std::string& label, const std::string& value);
    // Records a target's outcome (printed with the figures and again in the summary).
    void target(const std::string& goal, bool met, const std::string& measurement);
    void skipped(const std::string& goal, const std::string& reason);
    void summary();

  private:
    struct Outcome {
        std::string goal;
        std::string verdict;
        std::string measurement;
    };
    std::ostream& out_;
    std::vector<Outcome> outcomes_;
};

std::string seconds(double value);
// "0.412 s (processor 0.398 s)"
std::string seconds(const Timing& timing);
std::string ratio(double value);
std::string megabytes(double bytes);
std::string mebibytes(double bytes);
// "1,000,000"
std::string count(std::size_t value);

}  // namespace salvora::bench
