#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "foundation/platform/NoReplaceRename.h"

namespace salvora {

bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    return ::renameat2(folder, from.c_str(), folder, to.c_str(), RENAME_NOREPLACE) == 0;
}

}  // namespace salvora
