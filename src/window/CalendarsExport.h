#pragma once

// File → Export → Calendars…: the backup's calendars, one iCalendar file each.
#include "window/SourceExportCommand.h"

namespace salvora {

SourceExport calendarsExport();

}  // namespace salvora
