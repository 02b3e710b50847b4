#pragma once

// The listing commands: devices, apps and files, as tab-separated text or as JSON.
#include <optional>
#include <string>

#include "cli/CommandContext.h"

namespace salvora::cli {

enum class Format { Text, Json };

[[nodiscard]] int listDevices(const CommandContext& context, Format format);
// With `verbose`, tells on standard error after the list what each layout of the backup gave,
// and why a backup that lists nothing lists nothing.
[[nodiscard]] int listApplications(const CommandContext& context, const std::string& backup,
                                   Format format, bool verbose = false);
// Every file of the backup, or only those of `application` when one is given.
[[nodiscard]] int listFiles(const CommandContext& context, const std::string& backup,
                            const std::optional<std::string>& application, Format format);

}  // namespace salvora::cli
