#pragma once

// What the device table tells of a backup beside its name and date.
#include <QIcon>

#include "catalog/model/Records.h"

namespace salvora {

// Whether the backup is encrypted, as the core decides it; the window asks nowhere else.
bool isEncryptedBackup(const DeviceRecord& device);

// A padlock for the rows of encrypted backups, drawn so it looks the same on every desktop.
QIcon lockIcon();

}  // namespace salvora
