#pragma once

// The folders one save puts its files into, below the chosen destination. Each is opened (or
// made) once and kept open for the files after it that share it, so a save of ten thousand
// files does not open every level of every file's folder again.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

#include "catalog/Records.h"
#include "foundation/Error.h"
#include "foundation/FileManager.h"

namespace salvora {

class TargetFolders {
  public:
    explicit TargetFolders(std::string destination) : destination_(std::move(destination)) {}

    // The folder the levels lead to below the destination, made where missing, exactly as
    // openFolderBelow(destination, levels, CreateMissing::Yes) reaches it; null, with the
    // error in `error`, on failure. Valid until the next call.
    const OpenFolder* folderFor(std::span<const std::string_view> levels, ErrorSlot& error);

  private:
    struct Held {
        OpenFolder folder;
        std::uint64_t lastUse;
    };

    const OpenFolder* find(const std::string& levels);
    const OpenFolder* hold(const std::string& levels, OpenFolder folder);

    std::string destination_;
    // By the levels joined with "/" ("" for the destination itself).
    std::unordered_map<std::string, Held, StringHash, std::equal_to<>> held_;
    std::uint64_t clock_ = 0;
};

}  // namespace salvora
