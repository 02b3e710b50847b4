#pragma once

// The log: one line at a time on standard error, after a time stamp and the program name,
// the way the platform log writes them. Tests capture the lines instead.
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Error.h"

namespace salvora {

// The name written before each line; "salvora" unless a front end sets its own.
void setLogProgramName(std::string name);

void logLine(std::string_view text);

// Logs an error slot: its description, or "(null)" for an empty slot.
void logErrorSlot(const ErrorSlot& slot);

// While one exists, log lines are collected here (the bare text, without the time stamp)
// instead of going to standard error.
class LogCapture {
  public:
    LogCapture() : LogCapture(true) {}
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }

  protected:
    explicit LogCapture(bool keepLines);

  private:
    friend void logLine(std::string_view text);
    std::vector<std::string> lines_;
    bool keepLines_;
    LogCapture* previous_;
};

// While one exists, log lines are dropped: for a front end that tells the user in its own
// words and must not fill standard error with a line per file.
class LogSilence : private LogCapture {
  public:
    LogSilence() : LogCapture(false) {}
};

}  // namespace salvora
