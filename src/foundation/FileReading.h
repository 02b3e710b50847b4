#pragma once

// Reading files whole or piece by piece. Only regular files are read: a FIFO or a device is
// refused without waiting on it.
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/FileBytes.h"
#include "foundation/FileDescriptor.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// The whole file.
Result<FileBytes> readFile(const std::string& path);

// readFile of an entry of an open folder, up to its first `limit` bytes; a link there is
// refused, never followed.
Result<FileBytes> readFile(const OpenFolder& folder, std::string_view name,
                           std::size_t limit = SIZE_MAX);

// The entry opened for reading the way readFile opens it, for reading it piece by piece.
Result<FileDescriptor> openForReading(const OpenFolder& folder, std::string_view name);

}  // namespace salvora
