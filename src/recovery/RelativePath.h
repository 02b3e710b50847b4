#pragma once

// Relative paths taken from a backup, checked before anything is made or read with them.
#include <optional>
#include <string>
#include <string_view>

namespace salvora {

// What is wrong with a relative path that is joined below `folder` ("the chosen folder"), in
// words that follow "The relative path": it names no file, has a "." or ".." component, or
// holds a NUL character. Absent when it is sound. Separators at the start count for nothing,
// as with the path join, so an absolute path is sound and lands below the folder.
[[nodiscard]] std::optional<std::string> relativePathProblem(std::string_view path,
                                                             std::string_view folder);

}  // namespace salvora
