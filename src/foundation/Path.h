#pragma once

// Path strings with '/' separators, as the catalogue and the savers build them.
#include <string>
#include <string_view>
#include <vector>

namespace salvora {

// Joins with exactly one separator; separators at the start of the component are dropped,
// so an absolute component still lands below the path.
std::string appendingPathComponent(std::string_view path, std::string_view component);

// "a/b/c" -> "c"; trailing separators are ignored; "/" stays "/".
std::string lastPathComponent(std::string_view path);

// Two or more components lose the last one, a single component gives "", "" gives "";
// "/a" gives "/", and "/" stays "/".
std::string deletingLastPathComponent(std::string_view path);

// Drops the last "." of the last component and what follows it.
std::string deletingPathExtension(std::string_view path);

// Appends "." and the extension.
std::string appendingPathExtension(std::string_view path, std::string_view extension);

// Whether the name ends with `lowercaseEnding` (".heic"), in any letter case.
bool hasEnding(std::string_view name, std::string_view lowercaseEnding);

// The components between separators, empty ones left out.
std::vector<std::string_view> pathComponents(std::string_view path);

}  // namespace salvora
