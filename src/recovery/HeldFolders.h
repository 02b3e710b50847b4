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

#include "catalog/Records.h"
#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

class HeldFolders {
  public:
    HeldFolders(std::string base, CreateMissing create) : base_(std::move(base)), create_(create) {}

    // The folder the levels lead to below the base, exactly as openFolderBelow(base, levels,
    // create) reaches it; never null. Valid until the next call.
    Result<const OpenFolder*> folderFor(std::span<const std::string_view> levels);

    const std::string& base() const { return base_; }

  private:
    struct Held {
        OpenFolder folder;
        std::uint64_t lastUse;
    };

    const OpenFolder* find(const std::string& levels);
    const OpenFolder* hold(const std::string& levels, OpenFolder folder);

    std::string base_;
    CreateMissing create_;
    // By the levels joined with "/" ("" for the base itself).
    std::unordered_map<std::string, Held, StringHash, std::equal_to<>> held_;
    std::uint64_t clock_ = 0;
};

}  // namespace salvora
