#pragma once

// File → Export → Contacts…: the backup's address book as vCards and a CSV file.
#include "window/SourceExportCommand.h"

namespace salvora {

SourceExport contactsExport();

}  // namespace salvora
