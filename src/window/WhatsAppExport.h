#pragma once

// File → Export → "WhatsApp Chats…": the chats of WhatsApp and WhatsApp Business, each of those
// the backup holds.
#include "window/SourceExportCommand.h"

namespace salvora {

SourceExport whatsAppExport();

}  // namespace salvora
