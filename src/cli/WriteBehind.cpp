#include "cli/WriteBehind.h"

namespace salvora::cli {

WriteBehind::~WriteBehind() {
    if (!writer_.joinable()) return;
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

void WriteBehind::hand(std::string& piece) {
    if (!writer_.joinable()) writer_ = std::thread([this] { writeUntilFinished(); });
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !hasWaiting_; });
        waiting_.swap(piece);
        hasWaiting_ = true;
    }
    changed_.notify_all();
    piece.clear();
}

void WriteBehind::handLast(std::string& piece) {
    if (writer_.joinable()) return hand(piece);
    out_.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    piece.clear();
}

void WriteBehind::writeUntilFinished() {
    std::string writing;
    for (;;) {
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return hasWaiting_ || finished_; });
            if (!hasWaiting_) return;
            writing.swap(waiting_);
            hasWaiting_ = false;
        }
        changed_.notify_all();
        out_.write(writing.data(), static_cast<std::streamsize>(writing.size()));
        writing.clear();
    }
}

}  // namespace salvora::cli
