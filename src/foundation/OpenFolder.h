#pragma once

#include <string>
#include <string_view>
#include <utility>

#include "foundation/Error.h"
#include "foundation/FileDescriptor.h"

namespace salvora {

// A folder held open. Files made or read through it stay in exactly this folder, even when a
// folder on its path is swapped for a link afterwards; the path only names it in messages.
class OpenFolder {
  public:
    OpenFolder(FileDescriptor descriptor, std::string path)
        : descriptor_(std::move(descriptor)), path_(std::move(path)) {}

    int descriptor() const { return descriptor_.get(); }
    const std::string& path() const { return path_; }
    // The path of an entry of this folder, for messages.
    std::string pathOf(std::string_view name) const;

  private:
    FileDescriptor descriptor_;
    std::string path_;
};

// Opens an existing folder; links on its path are followed.
Result<OpenFolder> openFolder(const std::string& path);

enum class CreateMissing { No, Yes };

// Opens the folder `name` directly inside `parent`, first creating it when it is missing and
// asked to; a name the file system refuses to create fails as NameRefused or NameTooLong. A link in
// its place is refused, never followed, and so is a name that is not one plain component ("", ".",
// "..", or a name holding "/").
Result<OpenFolder> openFolderIn(const OpenFolder& parent, std::string_view name,
                                CreateMissing create);

}  // namespace salvora
