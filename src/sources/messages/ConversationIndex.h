#pragma once

// The export's first page, "index.html": every conversation (title, participants, number of
// messages, last date), newest first, and a search over every message's text. The search runs in
// the page itself, from the file system without a server: each conversation's folder holds
// "search.js", its messages' words as data, which the index loads with <script> tags (a
// browser lets a page opened from a file load scripts, not fetch files). "index.html?q=word"
// opens with the results for "word" shown.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora {

inline constexpr std::string_view searchDataName = "search.js";
inline constexpr std::string_view indexPageName = "index.html";

// What the index shows of one conversation written.
struct IndexEntry {
    std::string title;
    std::string folder;
    std::string participants;  // names joined
    std::size_t messageCount = 0;
    std::optional<UnixMillis> lastDate;
    bool archived = false;
};

IndexEntry indexEntry(const ExportedConversation& conversation);

// Writes "search.js" into the conversation's folder; `pageOf` as the pages were written.
Status writeSearchData(const ExportedConversation& conversation,
                       const std::vector<std::uint32_t>& pageOf, const OpenFolder& folder);

// Writes "index.html" into the export's folder, the entries newest first.
Status writeIndexPage(std::vector<IndexEntry> entries, const OpenFolder& folder,
                      const std::string& heading);

}  // namespace salvora
