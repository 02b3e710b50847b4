#pragma once

// The one place where a saved file comes into being, so that saving all and saving one file
// give the same bytes the same way.
#include <string>
#include <string_view>

#include "catalog/Records.h"
#include "foundation/Error.h"
#include "foundation/FileManager.h"

namespace salvora {

// Produces the file that `file` stands for as the entry `name` of `folder`: for a record of
// the write way ("oldVersion" true), the "Data" of the stored property list, written
// atomically and replacing what is there; otherwise a copy of the stored file, which never
// replaces anything. The stored file must be a regular file reached inside the backup folder
// without a link. Empty when the file was saved.
ErrorSlot produceSavedFile(const std::string& deviceDirectory, const FileRecord& file,
                           const OpenFolder& folder, std::string_view name);

}  // namespace salvora
