#include "catalog/layouts/manifest_database/RecordOrder.h"

#include <array>
#include <cstddef>
#include <utility>

namespace salvora {

// A stable radix sort, eleven bits of the offset per pass: linear, where a comparison sort of a
// million entries would cost more than reading their records.
void sortByRecordOffset(RecordVisits& visits) {
    constexpr unsigned digitBits = 11;
    constexpr std::uint32_t digitMask = (1u << digitBits) - 1;
    RecordVisits sorted(visits.size());
    for (unsigned shift = 0; shift < 32; shift += digitBits) {
        std::array<std::size_t, digitMask + 1> starts{};
        for (const RecordVisit& visit : visits) ++starts[(visit.recordOffset >> shift) & digitMask];
        // A digit that is the same for every offset leaves the order as it is.
        if (starts[(visits.empty() ? 0 : visits.front().recordOffset >> shift) & digitMask] ==
            visits.size())
            continue;
        std::size_t start = 0;
        for (std::size_t& bucket : starts) start += std::exchange(bucket, start);
        for (const RecordVisit& visit : visits)
            sorted[starts[(visit.recordOffset >> shift) & digitMask]++] = visit;
        visits.swap(sorted);
    }
}

}  // namespace salvora
