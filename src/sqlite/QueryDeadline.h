#pragma once

// A time limit on everything a database connection runs: once it has passed, each statement
// stops as if interrupted, and a reader keeps what it read before. For a look at a database that
// must not take long, whatever its size.
#include <chrono>

struct sqlite3;

namespace salvora {

class QueryDeadline {
  public:
    // From now on, statements of `database` stop `allowed` from now. The deadline must outlive
    // the connection's statements, or be dropped with it: it is no owner of the connection.
    QueryDeadline(sqlite3* database, std::chrono::milliseconds allowed);
    QueryDeadline(const QueryDeadline&) = delete;
    QueryDeadline& operator=(const QueryDeadline&) = delete;

    // Whether a statement was stopped by it.
    bool passed() const { return passed_; }

  private:
    static int check(void* self);

    std::chrono::steady_clock::time_point end_;
    bool passed_ = false;
};

}  // namespace salvora
