#include "catalog/model/DomainSlots.h"

namespace salvora {

std::uint32_t DomainSlots::find(std::optional<std::string_view> domain) {
    if (!domain) {
        if (absent_ == none) {
            absent_ = size();
            domains_.emplace_back();
        }
        return absent_;
    }
    if (auto found = bySpelling_.find(*domain); found != bySpelling_.end()) return found->second;
    const std::uint32_t slot = size();
    domains_.emplace_back(bySpelling_.emplace(std::string(*domain), slot).first->first);
    return slot;
}

}  // namespace salvora
