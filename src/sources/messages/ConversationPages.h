#pragma once

// A conversation's HTML pages, "page-1.html", "page-2.html"…, linked in order: each holds at
// most so many messages and stays well below the size at which a browser struggles, so that a
// conversation of a hundred thousand messages still opens at once. Each message is a block with
// the anchor "m<index>": its sender and local date, a quote of the message it replies to, its
// text, note or location, its attachments (photos, videos and sound shown where a browser can
// show them), its reactions, and whether it was edited or unsent; an event is a line of its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora {

// No page is let grow past this, whatever its number of messages.
inline constexpr std::size_t mostPageBytes = 4 * 1024 * 1024;

std::string pageName(std::size_t page);

// Writes the pages into `folder`; the page (from 1) each message is on.
Result<std::vector<std::uint32_t>> writeConversationPages(const ExportedConversation& conversation,
                                                          const OpenFolder& folder,
                                                          std::size_t messagesPerPage);

}  // namespace salvora
