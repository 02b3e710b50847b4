#include "bench/Report.h"

#include <cstdio>
#include <iomanip>
#include <ostream>

namespace salvora::bench {
namespace {

std::string formatted(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

void Report::heading(const std::string& text) { out_ << '\n' << text << '\n'; }

void Report::figure(const std::string& label, const std::string& value) {
    out_ << "  " << std::left << std::setw(52) << label << ' ' << value << '\n' << std::flush;
}

void Report::target(const std::string& goal, bool met, const std::string& measurement) {
    outcomes_.push_back({goal, met ? "met" : "NOT MET", measurement});
    figure("target: " + goal, outcomes_.back().verdict + " (" + measurement + ")");
}

void Report::skipped(const std::string& goal, const std::string& reason) {
    outcomes_.push_back({goal, "skipped", reason});
    figure("target: " + goal, "skipped (" + reason + ")");
}

void Report::summary() {
    heading("Targets");
    for (const Outcome& outcome : outcomes_) {
        out_ << "  " << std::left << std::setw(60) << outcome.goal << ' ' << std::setw(8)
             << outcome.verdict << ' ' << outcome.measurement << '\n';
    }
    out_ << std::flush;
}

std::string seconds(double value) { return formatted("%.3f s", value); }
std::string seconds(const Timing& timing) {
    return seconds(timing.wall) + " (processor " + seconds(timing.processor) + ")";
}
std::string ratio(double value) { return formatted("%.2f x", value); }
std::string megabytes(double bytes) { return formatted("%.1f MB", bytes / 1e6); }

std::string count(std::size_t value) {
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string mebibytes(double bytes) { return formatted("%.1f MiB", bytes / 1048576); }

}  // namespace salvora::bench
