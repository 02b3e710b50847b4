#pragma once

// Renaming without replacing what has the new name, in one call: Linux has it (renameat2 with
// RENAME_NOREPLACE); elsewhere the caller takes another way (FileWriting.cpp).
#include <string>

namespace salvora {

// Gives the entry `from` of the folder the name `to`, failing (EEXIST) when anything has that
// name already; false with errno set on failure: EINVAL or ENOSYS where the call or the file
// system has no such rename (EINVAL also for a name the file system refuses).
[[nodiscard]] bool renameWithoutReplacing(int folder, const std::string& from,
                                          const std::string& to);

}  // namespace salvora
