#pragma once

// Folder names for the titled things one export writes (a conversation, an album): each title
// made safe for every system, and two titles that come to one name (the same, or the same but
// for letter case) told apart as "Ada", "Ada (2)", "Ada (3)"… in the order they are asked for.
#include <string>
#include <string_view>
#include <unordered_set>

namespace salvora {

class UniqueNames {
  public:
    // `fallback` stands in for a title that leaves nothing to name a folder by.
    std::string nameFor(std::string_view title, std::string_view fallback);

  private:
    std::unordered_set<std::string> taken_;  // by letterCaseKey
};

}  // namespace salvora
