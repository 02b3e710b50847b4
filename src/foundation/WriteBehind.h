#pragma once

// Work done in order on a thread of its own while the caller goes on: an export writes one
// conversation's pages while it makes the next one's JSON, so both cores of a small machine
// take part. At most `waiting` jobs wait, so a caller faster than the work waits for it rather
// than piling up what the jobs hold. The first job to fail stops the rest. Where the system
// gives no thread, each job runs when it is added.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "foundation/Error.h"

namespace salvora {

class WriteBehind {
  public:
    explicit WriteBehind(std::size_t waiting = 2);
    // Runs what was added and waits for it.
    ~WriteBehind();
    WriteBehind(const WriteBehind&) = delete;
    WriteBehind& operator=(const WriteBehind&) = delete;

    // Adds the job after those added before; false, adding nothing, once one has failed.
    bool add(std::function<Status()> job);
    // Waits for every job added; the first failure, if one failed.
    Status finish();

  private:
    void runAll();

    const std::size_t waiting_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::function<Status()>> jobs_;
    bool running_ = false;  // a job taken off the queue is running
    bool stopping_ = false;
    std::optional<Error> failure_;
    std::optional<std::thread> worker_;  // last: starts once the rest is made
};

}  // namespace salvora
