#pragma once

// The distinct domains of a database's records, each named once however many records carry it,
// with the number of records that do. Consecutive records mostly share a domain, so the last
// one is compared first.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/Records.h"

namespace salvora {

class DomainTable {
  public:
    static constexpr std::uint32_t noDomain = UINT32_MAX;

    // The slot of the domain (absent: no domain at all), counting one more record for it.
    std::uint32_t slotOf(std::optional<std::string_view> domain) {
        if (last_ == noDomain || slots_[last_].domain != domain) last_ = find(domain);
        ++slots_[last_].records;
        return last_;
    }

    // The application each domain's records are filed under, as the database layouts name it.
    std::string applicationName(std::uint32_t slot) const;
    std::size_t records(std::uint32_t slot) const { return slots_[slot].records; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(slots_.size()); }

  private:
    struct Slot {
        std::optional<std::string> domain;
        std::size_t records = 0;
    };

    std::uint32_t find(std::optional<std::string_view> domain);
    std::uint32_t add(std::optional<std::string> domain);

    std::vector<Slot> slots_;
    std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>> byDomain_;
    std::uint32_t absent_ = noDomain;
    std::uint32_t last_ = noDomain;
};

}  // namespace salvora
