#pragma once

// The order in which a reader visits the records an index points at: by their place in the
// database file, so the file is read once from front to back.
#include <cstdint>
#include <vector>

namespace salvora {

// One used index entry: where its record lies, and its number among the used entries.
struct RecordVisit {
    std::uint32_t recordOffset;
    std::uint32_t entry;

    bool operator==(const RecordVisit&) const = default;
};

using RecordVisits = std::vector<RecordVisit>;

// Sorts by record offset; entries whose records lie at the same offset keep their order.
void sortByRecordOffset(RecordVisits& visits);

}  // namespace salvora
