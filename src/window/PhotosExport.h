#pragma once

// File → Export → "Photos and Videos…": the chosen device's camera roll exported by date.
#include "window/SourceExportCommand.h"

namespace salvora {

SourceExport photosExport();

}  // namespace salvora
