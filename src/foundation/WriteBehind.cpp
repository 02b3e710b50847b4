#include "foundation/WriteBehind.h"

#include "foundation/SpareThread.h"

namespace salvora {

WriteBehind::WriteBehind(std::size_t waiting) : waiting_(waiting == 0 ? 1 : waiting) {
    worker_ = spareThread([this] { runAll(); });
}

WriteBehind::~WriteBehind() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_) worker_->join();
}

bool WriteBehind::add(std::function<Status()> job) {
    std::unique_lock lock(mutex_);
    if (failure_) return false;
    if (!worker_) {
        lock.unlock();
        Status done = job();
        lock.lock();
        if (!done) failure_ = done.error();
        return done.ok();
    }
    changed_.wait(lock, [this] { return jobs_.size() < waiting_ || failure_; });
    if (failure_) return false;
    jobs_.push_back(std::move(job));
    lock.unlock();
    changed_.notify_all();
    return true;
}

Status WriteBehind::finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (jobs_.empty() && !running_) || failure_; });
    if (failure_) return *failure_;
    return {};
}

void WriteBehind::runAll() {
    std::unique_lock lock(mutex_);
    while (true) {
        changed_.wait(lock, [this] { return !jobs_.empty() || stopping_; });
        if (jobs_.empty()) return;
        std::function<Status()> job = std::move(jobs_.front());
        jobs_.pop_front();
        running_ = true;
        lock.unlock();
        changed_.notify_all();
        Status done = job();
        lock.lock();
        running_ = false;
        if (!done && !failure_) failure_ = done.error();
        if (failure_) jobs_.clear();
        changed_.notify_all();
    }
}

}  // namespace salvora
