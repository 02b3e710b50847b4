#pragma once

// Everything about a folder tree that saving must never change: every entry's kind, bytes,
// link target, permissions and modification time. Two snapshots compare equal only when the
// tree is unchanged.
#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <string>
#include <tuple>

#include "support/TemporaryFolder.h"

namespace salvora::test {

struct EntrySnapshot {
    unsigned mode = 0;
    long long modifiedSeconds = 0;
    long long modifiedNanoseconds = 0;
    std::string contents;  // a file's bytes, or a link's target

    bool operator==(const EntrySnapshot&) const = default;
};

using FolderSnapshot = std::map<std::string, EntrySnapshot>;

inline FolderSnapshot snapshotOf(const std::string& root) {
    namespace fs = std::filesystem;
    FolderSnapshot snapshot;
    auto record = [&](const fs::path& path) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) return;
        EntrySnapshot entry{status.st_mode, status.st_mtim.tv_sec, status.st_mtim.tv_nsec, {}};
        if (S_ISREG(status.st_mode)) entry.contents = readText(path.string());
        if (S_ISLNK(status.st_mode)) entry.contents = fs::read_symlink(path).string();
        snapshot.emplace(fs::relative(path, root).string(), std::move(entry));
    };
    record(root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) record(entry.path());
    return snapshot;
}

}  // namespace salvora::test
