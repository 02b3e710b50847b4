#include <cerrno>

#include "foundation/platform/NoReplaceRename.h"

namespace salvora {

bool renameWithoutReplacing(int, const std::string&, const std::string&) {
    errno = ENOSYS;
    return false;
}

}  // namespace salvora
