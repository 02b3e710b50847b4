#pragma once

// Output written by a thread of its own, piece after piece in the order given, so that making
// the next piece of a long listing and the system's copying of the last one overlap.
#include <condition_variable>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

namespace salvora::cli {

class WriteBehind {
  public:
    explicit WriteBehind(std::ostream& out) : out_(out) {}
    // Returns once every piece handed over is written.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Takes the piece for writing and leaves `piece` empty, with the room of a piece written
    // before. Waits while the piece before it is still waiting to be written.
    void hand(std::string& piece);
    // The same for the last piece, which a short output that handed none writes at once.
    void handLast(std::string& piece);

  private:
    void writeUntilFinished();

    std::ostream& out_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string waiting_;  // handed over, not yet being written
    bool hasWaiting_ = false;
    bool finished_ = false;
    std::thread writer_;  // started with the first piece
};

}  // namespace salvora::cli
