#pragma once

// How the file readers and writers name what they open or make. Not for use outside
// src/foundation.
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// An entry to open or make: a path relative to a folder descriptor (AT_FDCWD for a plain path
// read), and the full path that names it in messages. Files are only made under one plain name.
struct FolderEntry {
    int folder;
    std::string relative;
    std::string shown;
};

// The entry `name` of an open folder; fails for a name that is not one plain component, which
// could otherwise lead out of the folder.
Result<FolderEntry> entryOf(const OpenFolder& folder, std::string_view name, const char* operation);

// Why a file to read or copy could not be opened, in words for the user.
Error sourceError(const char* operation, const std::string& path, int errorNumber);

}  // namespace salvora
