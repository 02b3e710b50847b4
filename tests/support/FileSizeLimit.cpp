#include "support/FileSizeLimit.h"

#include <csignal>
#include <stdexcept>

namespace salvora::test {

FileSizeLimit::FileSizeLimit(std::size_t bytes) {
    if (::getrlimit(RLIMIT_FSIZE, &saved_) != 0) throw std::runtime_error("getrlimit failed");
    // Without this the write past the limit would end the process instead of failing.
    savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) throw std::runtime_error("setrlimit failed");
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, savedHandler_);
}

}  // namespace salvora::test
