#pragma once

// A line on a terminal that shows how far a save has come, redrawn in place.
#include <chrono>
#include <cstddef>
#include <ostream>
#include <string_view>

#include "recovery/Recovery.h"

namespace salvora::cli {

class ProgressLine {
  public:
    // Draws nothing unless `enabled`.
    ProgressLine(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;
    ~ProgressLine() { clear(); }

    // Redraws at most a few times a second, and always for the last file.
    void update(std::size_t done, std::size_t total);
    // A save's progress drawn on this line; the save is never stopped from here.
    SaveProgress saveProgress() {
        return [this](const SaveStatus& status) {
            update(status.filesDone, status.filesTotal);
            return true;
        };
    }
    // Shows a step that has no count, such as unlocking an encrypted backup.
    void show(std::string_view text);
    // Takes the line away, so that what follows starts on a clean line.
    void clear();

  private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    std::chrono::steady_clock::time_point lastDrawn_{};
};

}  // namespace salvora::cli
