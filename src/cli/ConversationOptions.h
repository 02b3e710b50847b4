#pragma once

// The options every conversation export shares (messages, whatsapp): the window of dates, the
// conversations chosen by text, attachments left out, the owner's name.
#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "sources/messages/ConversationExport.h"

namespace salvora::cli {

// Filled by the parser; turned into export options once the arguments are parsed.
struct ConversationArguments {
    std::string since;
    std::string until;
    std::string conversation;
    bool noAttachments = false;
    std::string me = "Me";
};

// Adds --since, --until, --conversation, --no-attachments and --me; a DATE that can't be read
// is a usage error.
void addConversationOptions(CLI::App* command, ConversationArguments& arguments);

// The export options the arguments ask for, of the export `kind`.
ConversationExportOptions conversationExportOptions(const ConversationArguments& arguments,
                                                    std::string kind);

// A DATE of the command line: "YYYY-MM-DD" (that day in this computer's time zone, from its
// start, or with `endOfDay` up to its end) or ISO 8601 "YYYY-MM-DDTHH:MM[:SS]" with "Z" or
// "+HH:MM"/"-HH:MM" after it (local time without). Absent when it is none of these.
std::optional<UnixMillis> commandLineDate(std::string_view text, bool endOfDay);

}  // namespace salvora::cli
