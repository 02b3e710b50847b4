#pragma once

// The distinct domains of a database's records (DomainSlots), with the number of records that
// carry each.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/DomainSlots.h"

namespace salvora {

class DomainTable {
  public:
    static constexpr std::uint32_t noDomain = DomainSlots::none;

    // The slot of the domain (absent: no domain at all), counting one more record for it.
    std::uint32_t slotOf(std::optional<std::string_view> domain) {
        const std::uint32_t slot = domains_.slotOf(domain);
        if (slot == records_.size()) records_.push_back(0);
        ++records_[slot];
        return slot;
    }

    // The application each domain's records are filed under, as the database layouts name it.
    std::string applicationName(std::uint32_t slot) const;
    std::size_t records(std::uint32_t slot) const { return records_[slot]; }
    std::uint32_t size() const { return domains_.size(); }

  private:
    DomainSlots domains_;
    std::vector<std::size_t> records_;
};

}  // namespace salvora
