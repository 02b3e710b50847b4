#pragma once

// What is at a path: folder listings, existence and kind, modification time. Absent results,
// never errors: a path that can't be looked at answers like a missing one.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace salvora {

// Names (not paths) of every entry directly inside a folder, hidden ones too, never "." or
// "..", sorted by byte order. Absent when the folder is missing or can't be listed.
[[nodiscard]] std::optional<std::vector<std::string>> directoryContents(const std::string& path);

// Whether anything exists at the path (a symbolic link is followed).
bool fileExists(const std::string& path);

// Whether the path names an existing folder (a symbolic link is followed).
bool isDirectory(const std::string& path);

// Whether the path names an existing regular file (a symbolic link is followed): not a FIFO,
// where opening for reading would wait for a writer, nor a device or a folder.
bool isRegularFile(const std::string& path);

// The item's own last-modification time; absent when it can't be read.
[[nodiscard]] std::optional<std::chrono::system_clock::time_point> modificationDate(
    const std::string& path);

}  // namespace salvora
