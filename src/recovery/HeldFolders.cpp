#include "recovery/HeldFolders.h"

#include <algorithm>
#include <vector>

#include "recovery/SafeFolder.h"

namespace salvora {
namespace {

// Folders held open at most: far below the usual limit of open files, and enough for the
// levels that most files share.
constexpr std::size_t mostHeld = 128;

}  // namespace

Result<const OpenFolder*> HeldFolders::folderFor(std::span<const std::string_view> levels) {
    // Each level's key: the levels down to it.
    std::vector<std::string> keys(levels.size() + 1);
    for (std::size_t depth = 1; depth <= levels.size(); ++depth) {
        keys[depth] = keys[depth - 1];
        if (depth > 1) keys[depth] += '/';
        keys[depth] += levels[depth - 1];
    }
    // From the deepest level already open, or else from the base.
    std::size_t depth = levels.size() + 1;
    const OpenFolder* folder = nullptr;
    while (folder == nullptr && depth > 0) folder = find(keys[--depth]);
    if (folder == nullptr) {
        auto base = openFolderBelow(base_, {}, create_);
        if (!base) return base.error();
        folder = hold(keys[0], std::move(*base));
    }
    for (; depth < levels.size(); ++depth) {
        auto next = openFolderIn(*folder, levels[depth], create_);
        if (!next) return next.error();
        folder = hold(keys[depth + 1], std::move(*next));
    }
    return folder;
}

const OpenFolder* HeldFolders::find(const std::string& levels) {
    auto found = held_.find(levels);
    if (found == held_.end()) return nullptr;
    found->second.lastUse = ++clock_;
    return &found->second.folder;
}

const OpenFolder* HeldFolders::hold(const std::string& levels, OpenFolder folder) {
    if (held_.size() >= mostHeld) {
        // The one used longest ago; the levels of the folder being reached were all just used.
        held_.erase(std::min_element(held_.begin(), held_.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        }));
    }
    auto [entry, added] = held_.insert_or_assign(levels, Held{std::move(folder), ++clock_});
    return &entry->second.folder;
}

}  // namespace salvora
