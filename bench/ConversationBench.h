#pragma once

// Whole `salvora-cli messages`, `whatsapp` and `contacts` processes on backups of a heavy user's
// size, against plain Python sqlite3 scripts writing the same text files, and the copying of
// Messages' attachments against `cp -r`.
#include <string>

#include "bench/ConversationBackups.h"
#include "bench/Report.h"

namespace salvora::bench {

struct ConversationBenchSetup {
    std::string cli;         // salvora-cli
    std::string references;  // the folder of the Python scripts
    std::string scratch;     // where the backups and the exports go
    int runs = 5;
};

void benchMessagesExport(Report& report, const ConversationBenchSetup& setup, const SmsPlan& plan);
// A backup of `plan`'s attachments (few messages beside them), exported against `cp -r` of it.
void benchMessageAttachments(Report& report, const ConversationBenchSetup& setup,
                             const SmsPlan& plan);
void benchWhatsAppExport(Report& report, const ConversationBenchSetup& setup, std::size_t messages,
                         std::size_t chats);
void benchContactsExport(Report& report, const ConversationBenchSetup& setup, std::size_t contacts);

}  // namespace salvora::bench
