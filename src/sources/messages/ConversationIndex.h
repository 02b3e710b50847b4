#pragma once

// The export's first page, "index.html": every conversation (title, participants, number of
// messages, last date), newest first, and a search over every message's text. The search runs in
// the page itself, from the file system without a server: the folder "search" holds the
// messages' words as data in parts of a few megabytes, which the index loads with <script> tags
// (a browser lets a page opened from a file load scripts, not fetch files; a few dozen load far
// faster than one for each of thousands of conversations). "index.html?q=word" opens with the
// results for "word" shown.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"
#include "sources/messages/ExportedConversation.h"

namespace salvora {

inline constexpr std::string_view searchFolderName = "search";
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

// The search data of an export, written a part at a time as conversations are added.
class SearchData {
  public:
    explicit SearchData(const OpenFolder& exportFolder);

    // Adds the conversation's messages, `pageOf` as its pages were written, and writes a part
    // once what has been added fills one.
    Status add(const ExportedConversation& conversation, const std::vector<std::uint32_t>& pageOf);
    // Writes the rest; the parts' paths relative to the export folder, in order.
    Result<std::vector<std::string>> finish();

  private:
    static constexpr std::size_t partBytes = 4 << 20;

    Status writePart();

    const OpenFolder& exportFolder_;
    std::optional<OpenFolder> folder_;  // made with the first part
    std::string part_;
    std::vector<std::string> parts_;
};

// Writes "index.html" into the export's folder, the entries newest first, loading the search
// data's parts.
Status writeIndexPage(std::vector<IndexEntry> entries, const std::vector<std::string>& searchParts,
                      const OpenFolder& folder, const std::string& heading);

}  // namespace salvora
