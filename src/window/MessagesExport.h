#pragma once

// File → Export → Messages…: every conversation of the backup's sms.db (HomeDomain
// "Library/SMS/sms.db"), with names from the backup's own address book, exported through
// exportConversations.
#include "window/SourceExportCommand.h"

namespace salvora {

SourceExport messagesExport();

}  // namespace salvora
