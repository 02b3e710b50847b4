#pragma once

// New files written as unnamed files and linked in under their name once complete. Linux offers
// it (O_TMPFILE, and /proc/self/fd to name the file for the link); other systems don't, and new
// files go through a named temporary file there.
#include <string>

namespace salvora {

// A new file without a name in the folder, open for writing: a single step in the folder, where
// a named temporary file takes three, and nothing to clean up when the program stops half way.
// -1 with errno set on failure: EOPNOTSUPP (or EISDIR, EINVAL) where unnamed files can't be
// made or named here.
[[nodiscard]] int openUnnamedFile(int folder);

// Gives the unnamed file `fd` the name `name` in the folder; fails (EEXIST) on an existing
// name, so nothing is ever replaced. False with errno set on failure.
[[nodiscard]] bool linkUnnamedFile(int fd, int folder, const std::string& name);

}  // namespace salvora
