#pragma once

// The backup a command names, with its catalogue built, unlocked first when it is encrypted.
#include <memory>
#include <string>

#include "catalog/Catalog.h"
#include "catalog/model/Records.h"
#include "cli/CommandContext.h"
#include "foundation/Error.h"

namespace salvora::cli {

struct OpenedBackup {
    std::shared_ptr<DeviceRecord> device;
    Catalog catalog;
    ApplicationList applications;  // in catalogue order

    // The application of exactly that name (with case), else the one application shown as
    // that text; fails when there is none, or several.
    Result<const ApplicationRecord*> findApplication(const std::string& name) const;
    // What the application table shows for it.
    std::string displayText(const ApplicationRecord& application) const;
    // The keys of an encrypted backup; null for a plain one.
    const UnlockedKeybag* keybag() const { return catalog.keybagFor(device->directory).get(); }
};

// The device a BACKUP argument names: a path to a backup folder, or, when no folder of that
// name exists, the N-th device (from 1) of the device list. Fails when it names neither.
Result<std::shared_ptr<DeviceRecord>> deviceNamedBy(const std::string& argument);

// deviceNamedBy with the catalogue built; an encrypted backup is unlocked first with the
// password the context gives. Fails as the build or the unlocking does (WrongPassword for a
// password the backup refuses), told by usageFailure (FailureReport.h).
Result<OpenedBackup> openBackup(const CommandContext& context, const std::string& argument);

}  // namespace salvora::cli
