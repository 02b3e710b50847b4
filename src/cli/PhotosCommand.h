#pragma once

// The photos and videos of a backup's camera roll, exported by date.
#include <string>

#include "cli/CommandContext.h"
#include "sources/photos/ExportPlan.h"

namespace salvora::cli {

[[nodiscard]] int exportPhotosOf(const CommandContext& context, const std::string& backup,
                                 const std::string& destination, const PhotoExportOptions& options);

}  // namespace salvora::cli
