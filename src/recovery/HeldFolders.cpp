#include "recovery/HeldFolders.h"

#include <algorithm>
#include <vector>

#include "recovery/SafeFolder.h"

namespace salvora {
namespace {

// Folders held open at most: far below the usual limit of open files, and enough for the
// levels that most files share.
constexpr std::size_t mostHeld = 128;

// Names tried for one folder at most: a safe one, a shorter one, and room to spare.
constexpr int mostNamesOffered = 8;

}  // namespace

Result<const OpenFolder*> HeldFolders::folderFor(std::span<const std::string_view> levels,
                                                 bool* renamed) {
    // Each level's key: the levels down to it.
    std::vector<std::string> keys(levels.size() + 1);
    for (std::size_t depth = 1; depth <= levels.size(); ++depth) {
        keys[depth] = keys[depth - 1];
        if (depth > 1) keys[depth] += '/';
        keys[depth] += levels[depth - 1];
    }
    // From the deepest level already open, or else from the base.
    std::size_t depth = levels.size() + 1;
    const Held* held = nullptr;
    while (held == nullptr && depth > 0) held = find(keys[--depth]);
    if (held == nullptr) {
        auto base = openFolderBelow(base_, {}, create_);
        if (!base) return base.error();
        held = hold(keys[0], Held{std::move(*base), 0, false});
    }
    for (; depth < levels.size(); ++depth) {
        bool levelRenamed = held->renamed;
        auto next = openLevel(held->folder, levels[depth], levelRenamed);
        if (!next) return next.error();
        held = hold(keys[depth + 1], Held{std::move(*next), 0, levelRenamed});
    }
    if (renamed != nullptr) *renamed = held->renamed;
    return &held->folder;
}

Result<OpenFolder> HeldFolders::openLevel(const OpenFolder& parent, std::string_view level,
                                          bool& renamed) {
    if (names_ == nullptr) return openFolderIn(parent, level, create_);
    std::string name = names_->firstTried(std::string(level));
    for (int offered = 0;; ++offered) {
        auto opened = openFolderIn(parent, name, create_);
        const ErrorKind refusal = opened ? ErrorKind::Failed : opened.error().kind;
        std::optional<std::string> safer;
        if ((refusal == ErrorKind::NameRefused || refusal == ErrorKind::NameTooLong) &&
            offered < mostNamesOffered)
            safer = names_->folderAfterRefusal(parent, name, refusal);
        if (!safer) {
            renamed = renamed || name != level;
            return opened;
        }
        name = std::move(*safer);
    }
}

const HeldFolders::Held* HeldFolders::find(const std::string& levels) {
    auto found = held_.find(levels);
    if (found == held_.end()) return nullptr;
    found->second.lastUse = ++clock_;
    return &found->second;
}

const HeldFolders::Held* HeldFolders::hold(const std::string& levels, Held held) {
    if (held_.size() >= mostHeld) {
        // The one used longest ago; the levels of the folder being reached were all just used.
        held_.erase(std::min_element(held_.begin(), held_.end(), [](const auto& a, const auto& b) {
            return a.second.lastUse < b.second.lastUse;
        }));
    }
    held.lastUse = ++clock_;
    auto [entry, added] = held_.insert_or_assign(levels, std::move(held));
    return &entry->second;
}

}  // namespace salvora
