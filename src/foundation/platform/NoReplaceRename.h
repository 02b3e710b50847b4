#pragma once

// Renaming without replacing what has the new name. Linux does it in one call (renameat2 with
// RENAME_NOREPLACE); the portable way takes two.
#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace salvora {

// Gives the entry `from` of the folder the name `to`, failing (EEXIST) when anything has that
// name already; false with errno set on failure.
[[nodiscard]] bool renameWithoutReplacing(int folder, const std::string& from,
                                          const std::string& to);

// The portable way: a hard link fails on an existing name just the same, then the old name goes.
[[nodiscard]] inline bool renameByLinking(int folder, const std::string& from,
                                          const std::string& to) {
    if (::linkat(folder, from.c_str(), folder, to.c_str(), 0) != 0) return false;
    ::unlinkat(folder, from.c_str(), 0);
    return true;
}

}  // namespace salvora
