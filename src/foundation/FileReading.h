#pragma once

// Reading files whole or piece by piece. Only regular files are read: a FIFO or a device is
// refused without waiting on it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// The same into a vector, for a caller that keeps the bytes in one: a large file (a photo
// library's database) is then never held twice.
Result<std::vector<std::byte>> readFileIntoVector(const OpenFolder& folder, std::string_view name,
                                                  std::size_t limit = SIZE_MAX);

// The entry opened for reading the way readFile opens it, for reading it piece by piece.
Result<FileDescriptor> openForReading(const OpenFolder& folder, std::string_view name);

}  // namespace salvora
