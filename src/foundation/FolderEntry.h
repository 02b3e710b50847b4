#pragma once

#include <string>

namespace salvora {

// An entry to open or make: a path relative to a folder descriptor (AT_FDCWD for plain paths),
// and the full path that names it in messages.
struct FolderEntry {
    int folder;
    std::string relative;
    std::string shown;
};

}  // namespace salvora
