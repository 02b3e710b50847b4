#include "catalog/DomainTable.h"

#include "catalog/Filing.h"

namespace salvora {

std::string DomainTable::applicationName(std::uint32_t slot) const {
    const std::optional<std::string>& domain = slots_[slot].domain;
    if (!domain || !utf8Text(std::string_view(*domain))) return std::string();
    return applicationNameForDomain(*domain);
}

std::uint32_t DomainTable::find(std::optional<std::string_view> domain) {
    if (!domain) {
        if (absent_ == noDomain) absent_ = add(std::nullopt);
        return absent_;
    }
    if (auto found = byDomain_.find(*domain); found != byDomain_.end()) return found->second;
    const std::uint32_t slot = add(std::string(*domain));
    byDomain_.emplace(*slots_[slot].domain, slot);
    return slot;
}

std::uint32_t DomainTable::add(std::optional<std::string> domain) {
    slots_.push_back({std::move(domain), 0});
    return static_cast<std::uint32_t>(slots_.size() - 1);
}

}  // namespace salvora
