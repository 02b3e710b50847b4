#include <cerrno>
#include <cstdio>

#include "foundation/platform/NoReplaceRename.h"

namespace salvora {

bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    if (::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    // A file system without the flag still takes the portable way.
    if (errno != EINVAL && errno != ENOSYS) return false;
    return renameByLinking(folder, from, to);
}

}  // namespace salvora
