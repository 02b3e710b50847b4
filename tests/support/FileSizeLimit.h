#pragma once

// A full disk, played by a limit on the size of files this process writes: a write past it
// fails with EFBIG ("File too large"), for root too. The limit holds while the object lives.
#include <sys/resource.h>

#include <cstddef>

namespace salvora::test {

class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::size_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

}  // namespace salvora::test
