#pragma once

// Relative paths taken from a backup, checked before anything is made or read with them.
#include <string_view>

#include "foundation/Error.h"

namespace salvora {

// Whether a relative path joined below `folder` ("the chosen folder") stays there; fails when
// it names no file, has a "." or ".." component, or holds a NUL character, the error's reason
// in words that follow "The relative path" ("leads outside the chosen folder"), for the caller
// to tell as its own refusal. Separators at the start count for nothing, as with the path
// join, so an absolute path is sound and lands below the folder.
Status soundRelativePath(std::string_view path, std::string_view folder);

}  // namespace salvora
