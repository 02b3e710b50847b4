#pragma once

// The rows of the file table: the files of the chosen application, or of every application of
// the device one after the other, in the order the readers found them.
#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "catalog/model/Records.h"

namespace salvora {

// The file table's column identifiers beside "fullpath" (DeviceApplicationFileRealName).
inline constexpr std::string_view FileSizeColumn = "size";
inline constexpr std::string_view FileModifiedColumn = "modified";
inline constexpr std::string_view FileApplicationColumn = "application";

struct FileRow {
    const std::shared_ptr<ApplicationRecord>& application;
    const FileRecord& file;
};

class FileListing {
  public:
    FileListing() = default;
    explicit FileListing(ApplicationList applications);

    std::size_t size() const { return ends_.empty() ? 0 : ends_.back(); }
    // `row` must be below size().
    FileRow at(std::size_t row) const;

  private:
    ApplicationList applications_;
    // Where each application's rows end; ascending.
    std::vector<std::size_t> ends_;
};

}  // namespace salvora
