#pragma once

// The backup's Info.plist as the sync service writes it for a phone with the plan's
// applications: under "Applications" each with its store metadata, its licence and a
// placeholder icon of about 20 KB, which make a real Info.plist megabytes long.
#include <string>

#include "bench/BackupShape.h"

namespace salvora::bench {

// Writes folder/"Info.plist" in XML.
void writeDeviceInfoPlist(const std::string& folder, const BackupPlan& plan,
                          const std::string& deviceName);

}  // namespace salvora::bench
