#include "foundation/platform/NoReplaceRename.h"

namespace salvora {

bool renameWithoutReplacing(int folder, const std::string& from, const std::string& to) {
    return renameByLinking(folder, from, to);
}

}  // namespace salvora
