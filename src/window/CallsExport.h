#pragma once

// File → Export → Call History…: the backup's calls as a CSV file and a page.
#include "window/SourceExportCommand.h"

namespace salvora {

SourceExport callsExport();

}  // namespace salvora
