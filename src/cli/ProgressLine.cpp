#include "cli/ProgressLine.h"

namespace salvora::cli {
namespace {
constexpr auto redrawInterval = std::chrono::milliseconds(100);
constexpr const char* eraseToEndOfLine = "\x1b[K";
}  // namespace

void ProgressLine::update(std::size_t done, std::size_t total) {
    if (!enabled_) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn_ && done < total && now - lastDrawn_ < redrawInterval) return;
    err_ << "\rSaving files: " << done << " of " << total << eraseToEndOfLine << std::flush;
    drawn_ = true;
    lastDrawn_ = now;
}

void ProgressLine::clear() {
    if (!drawn_) return;
    err_ << '\r' << eraseToEndOfLine << std::flush;
    drawn_ = false;
}

}  // namespace salvora::cli
