#pragma once

// The distinct domains of one read, each kept once however many records carry it and numbered
// in the order first met. Consecutive records mostly share a domain, so the last one is
// compared first.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/StringHash.h"

namespace salvora {

class DomainSlots {
  public:
    static constexpr std::uint32_t none = UINT32_MAX;

    DomainSlots() = default;
    // The domains are kept as the map's keys, which a move leaves in place and a copy would not.
    DomainSlots(DomainSlots&&) = default;
    DomainSlots& operator=(DomainSlots&&) = default;

    // The domain's slot (absent: no domain at all); a domain first met takes the next one.
    std::uint32_t slotOf(std::optional<std::string_view> domain) {
        if (last_ == none || domains_[last_] != domain) last_ = find(domain);
        return last_;
    }
    std::optional<std::string_view> domain(std::uint32_t slot) const { return domains_[slot]; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(domains_.size()); }

  private:
    std::uint32_t find(std::optional<std::string_view> domain);

    std::vector<std::optional<std::string_view>> domains_;  // by slot
    std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>> bySpelling_;
    std::uint32_t absent_ = none;
    std::uint32_t last_ = none;
};

}  // namespace salvora
