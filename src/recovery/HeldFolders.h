#pragma once

// The folders one save reads its files from or puts them into, below the backup folder or the
// chosen destination. Each is opened (or made) once and kept open for the files after it that
// share it, so a save of ten thousand files does not open every level of every file's folder
// again.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "foundation/StringHash.h"
#include "recovery/DestinationNames.h"

namespace salvora {

class HeldFolders {
  public:
    // With `names`, the folders made below the base take the names it gives: the levels' own
    // where the drive takes them.
    HeldFolders(std::string base, CreateMissing create, DestinationNames* names = nullptr)
        : base_(std::move(base)), create_(create), names_(names) {}

    // The folder the levels lead to below the base, exactly as openFolderBelow(base, levels,
    // create) reaches it; never null. Valid until the next call. `renamed`, when given, tells
    // whether a level on the way took another name than its own.
    Result<const OpenFolder*> folderFor(std::span<const std::string_view> levels,
                                        bool* renamed = nullptr);

    const std::string& base() const { return base_; }

  private:
    struct Held {
        OpenFolder folder;
        std::uint64_t lastUse;
        bool renamed;  // this level or one above it took another name
    };

    const Held* find(const std::string& levels);
    const Held* hold(const std::string& levels, Held held);
    // The level `level` in `parent`, under the first name of it that the drive takes.
    Result<OpenFolder> openLevel(const OpenFolder& parent, std::string_view level, bool& renamed);

    std::string base_;
    CreateMissing create_;
    DestinationNames* names_;
    // By the levels joined with "/" ("" for the base itself).
    std::unordered_map<std::string, Held, StringHash, std::equal_to<>> held_;
    std::uint64_t clock_ = 0;
};

}  // namespace salvora
