#pragma once

// The stored names Manifest.db's fileIDs give: a regular file is stored as its fileID in the
// subfolder named by the fileID's first two characters.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "catalog/model/Records.h"

namespace salvora {

class FileIdNames {
  public:
    // The stored name of the fileID, valid until the next call; absent when the fileID can't
    // name a file inside the backup: not two to 255 letters, digits, "-" and "_".
    std::optional<StoredName> nameOf(std::optional<std::string_view> fileId);

  private:
    std::array<std::byte, StoredName::keySize> key_{};
    std::string spelled_;
};

}  // namespace salvora
