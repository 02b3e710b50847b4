#include "foundation/Log.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace salvora {
namespace {

std::mutex logMutex;
std::string programName = "salvora";
LogCapture* activeCapture = nullptr;

std::string timeStamp() {
    using namespace std::chrono;
    auto now = system_clock::now();
    std::time_t seconds = system_clock::to_time_t(now);
    auto milliseconds = duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    std::tm local{};
    ::localtime_r(&seconds, &local);
    char text[40];
    std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + length, sizeof text - length, ".%03d",
                  static_cast<int>(milliseconds.count()));
    return text;
}

}  // namespace

void setLogProgramName(std::string name) {
    std::lock_guard lock(logMutex);
    programName = std::move(name);
}

void logLine(std::string_view text) {
    std::lock_guard lock(logMutex);
    if (activeCapture != nullptr) {
        if (activeCapture->keepLines_) activeCapture->lines_.emplace_back(text);
        return;
    }
    std::string line = timeStamp() + " " + programName + "[" + std::to_string(::getpid()) + "] ";
    line += text;
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
}

void logErrorSlot(const ErrorSlot& slot) { logLine(slot ? slot->description() : "(null)"); }

LogCapture::LogCapture(bool keepLines) : keepLines_(keepLines) {
    std::lock_guard lock(logMutex);
    previous_ = activeCapture;
    activeCapture = this;
}

LogCapture::~LogCapture() {
    std::lock_guard lock(logMutex);
    activeCapture = previous_;
}

}  // namespace salvora
