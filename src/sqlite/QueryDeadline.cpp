#include "sqlite/QueryDeadline.h"

#include <sqlite3.h>

namespace salvora {
namespace {

// How many virtual machine steps pass between looks at the clock: often enough to stop within
// a few milliseconds, rarely enough to cost nothing.
constexpr int stepsBetweenChecks = 10000;

}  // namespace

QueryDeadline::QueryDeadline(sqlite3* database, std::chrono::milliseconds allowed)
    : end_(std::chrono::steady_clock::now() + allowed) {
    sqlite3_progress_handler(database, stepsBetweenChecks, &QueryDeadline::check, this);
}

int QueryDeadline::check(void* self) {
    auto& deadline = *static_cast<QueryDeadline*>(self);
    if (std::chrono::steady_clock::now() >= deadline.end_) deadline.passed_ = true;
    return deadline.passed_ ? 1 : 0;
}

}  // namespace salvora
