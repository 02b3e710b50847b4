#pragma once

// The items of a sequence made on a thread of their own, a few ahead of the one taking them: an
// export reads its next conversations out of a database while it writes the files of this one,
// so both cores of a small machine take part. Where the system gives no thread, each item is
// made when it is asked for.
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

#include "foundation/SpareThread.h"

namespace salvora {

template <typename Item>
class ReadAhead {
  public:
    // `make(i)` makes item i of `count`, in order, on the reading thread; at most `ahead` items
    // wait made at any time.
    ReadAhead(std::size_t count, std::function<Item(std::size_t)> make, std::size_t ahead = 2)
        : make_(std::move(make)), count_(count), ahead_(ahead) {
        reader_ = spareThread([this] { readAll(); });
    }

    // Stops the reading after the item being made and waits for it.
    ~ReadAhead() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (reader_) reader_->join();
    }

    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next item, once made; none after the last. What making it threw is thrown here.
    std::optional<Item> next() {
        if (taken_ == count_) return std::nullopt;
        if (!reader_) return make_(taken_++);
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !ready_.empty() || failure_; });
        if (ready_.empty()) std::rethrow_exception(failure_);
        Item item = std::move(ready_.front());
        ready_.pop_front();
        ++taken_;
        lock.unlock();
        changed_.notify_all();
        return item;
    }

  private:
    void readAll() {
        for (std::size_t index = 0; index < count_; ++index) {
            {
                std::unique_lock lock(mutex_);
                changed_.wait(lock, [this] { return stopping_ || ready_.size() < ahead_; });
                if (stopping_) return;
            }
            try {
                Item item = make_(index);
                std::lock_guard lock(mutex_);
                ready_.push_back(std::move(item));
            } catch (...) {
                std::lock_guard lock(mutex_);
                failure_ = std::current_exception();
            }
            changed_.notify_all();
            if (failure_) return;
        }
    }

    std::function<Item(std::size_t)> make_;
    const std::size_t count_;
    const std::size_t ahead_;
    std::size_t taken_ = 0;  // by the taking thread alone
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Item> ready_;
    bool stopping_ = false;
    std::exception_ptr failure_;
    std::optional<std::thread> reader_;  // last: starts once the rest is made
};

}  // namespace salvora
