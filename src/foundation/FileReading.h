#pragma once

// Reading files whole or piece by piece. Only regular files are read: a FIFO or a device is
// refused without waiting on it.
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/FileBytes.h"
#include "foundation/FileDescriptor.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// The whole file; absent (with the reason in `error`, when given) when it can't be read.
std::optional<FileBytes> readFile(const std::string& path, ErrorSlot* error = nullptr);

// readFile of an entry of an open folder; a link there is refused, never followed.
std::optional<FileBytes> readFile(const OpenFolder& folder, std::string_view name,
                                  ErrorSlot* error = nullptr);

// The entry opened for reading the way readFile opens it, for reading it piece by piece.
std::optional<FileDescriptor> openForReading(const OpenFolder& folder, std::string_view name,
                                             ErrorSlot* error = nullptr);

}  // namespace salvora
