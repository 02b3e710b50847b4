#pragma once

// The file system as the catalogue, discovery and the savers use it. Nothing here throws;
// failures come back as error values or as absent results.
#include <chrono>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/Error.h"
#include "foundation/FileBytes.h"
#include "foundation/FileDescriptor.h"

namespace salvora {

// The user's home directory: $HOME, or the password database's entry when it is unset.
std::string homeDirectory();

// Names (not paths) of every entry directly inside a folder, hidden ones too, never "." or
// "..", sorted by byte order. Absent when the folder is missing or can't be listed.
std::optional<std::vector<std::string>> directoryContents(const std::string& path);

// Whether anything exists at the path (a symbolic link is followed).
bool fileExists(const std::string& path);

// Whether the path names an existing folder (a symbolic link is followed).
bool isDirectory(const std::string& path);

// The item's own last-modification time; absent when it can't be read.
std::optional<std::chrono::system_clock::time_point> modificationDate(const std::string& path);

// Creates one folder; its parent must exist. Fails (harmlessly) when the folder exists.
ErrorSlot createDirectory(const std::string& path);

// Creates the folder and every missing level above it; succeeds when it already exists.
ErrorSlot createDirectoryWithIntermediates(const std::string& path);

// Copies the regular file at `source` to `target`. Fails, changing nothing, when the source
// is missing or not a regular file, or when anything exists at the target. The copy is made
// under a temporary name beside the target and takes the target's name only when complete,
// so no partial file is ever left.
ErrorSlot copyItem(const std::string& source, const std::string& target);

// Writes the bytes to a temporary file beside the target, then renames it to the target:
// an existing target is replaced whole, and a failed write leaves the target as it was and
// no temporary file behind.
ErrorSlot writeAtomically(std::span<const std::byte> bytes, const std::string& target);

// The whole file; absent (with the reason in `error`, when given) when it can't be read.
std::optional<FileBytes> readFile(const std::string& path, ErrorSlot* error = nullptr);

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
std::optional<OpenFolder> openFolder(const std::string& path, ErrorSlot* error = nullptr);

enum class CreateMissing { No, Yes };

// Opens the folder `name` directly inside `parent`, first creating it when it is missing and
// asked to. A link in its place is refused, never followed, and so is a name that is not one
// plain component ("", ".", "..", or a name holding "/").
std::optional<OpenFolder> openFolderIn(const OpenFolder& parent, std::string_view name,
                                       CreateMissing create, ErrorSlot* error = nullptr);

// copyItem between entries of open folders; every name must be one plain component.
ErrorSlot copyItem(const OpenFolder& sourceFolder, std::string_view sourceName,
                   const OpenFolder& targetFolder, std::string_view targetName);

// writeAtomically to an entry of an open folder.
ErrorSlot writeAtomically(std::span<const std::byte> bytes, const OpenFolder& folder,
                          std::string_view name);

// readFile of an entry of an open folder; a link there is refused, never followed.
std::optional<FileBytes> readFile(const OpenFolder& folder, std::string_view name,
                                  ErrorSlot* error = nullptr);

}  // namespace salvora
