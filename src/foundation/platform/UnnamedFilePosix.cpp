#include <cerrno>

#include "foundation/platform/UnnamedFile.h"

namespace salvora {

// Without a way to name an unnamed file, the caller goes through a named temporary file.
int openUnnamedFile(int) {
    errno = EOPNOTSUPP;
    return -1;
}

bool linkUnnamedFile(int, int, const std::string&) {
    errno = EOPNOTSUPP;
    return false;
}

}  // namespace salvora
