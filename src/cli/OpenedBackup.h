#pragma once

// The backup a command names, with its catalogue built.
#include <memory>
#include <optional>
#include <string>

#include "catalog/Catalog.h"
#include "catalog/Records.h"
#include "cli/CommandContext.h"

namespace salvora::cli {

struct OpenedBackup {
    std::shared_ptr<DeviceRecord> device;
    Catalog catalog;
    ApplicationList applications;  // in catalogue order

    // The application of exactly that name (with case); null after telling the user so.
    const ApplicationRecord* findApplication(const CommandContext& context,
                                             const std::string& name) const;
    // What the application table shows for it.
    std::string displayText(const ApplicationRecord& application) const;
};

// The device a BACKUP argument names: a path to a backup folder, or, when no folder of that
// name exists, the N-th device (from 1) of the device list. Absent, with the reason, when it
// names neither.
std::shared_ptr<DeviceRecord> deviceNamedBy(const std::string& argument, std::string& problem);

// deviceNamedBy with the catalogue built; absent after telling the user why.
std::optional<OpenedBackup> openBackup(const CommandContext& context, const std::string& argument);

}  // namespace salvora::cli
