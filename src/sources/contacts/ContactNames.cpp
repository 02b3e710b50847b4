#include "sources/contacts/ContactNames.h"

#include <algorithm>
#include <cctype>

namespace salvora {
namespace {

// The key a handle is filed under: an e-mail address in lower case, a phone number as its digits.
std::string keyOf(std::string_view handle) {
    std::string key;
    const bool email = handle.find('@') != std::string_view::npos;
    for (const char c : handle) {
        const auto byte = static_cast<unsigned char>(c);
        if (email) key += static_cast<char>(std::tolower(byte));
        else if (std::isdigit(byte)) key += c;
    }
    return key;
}

}  // namespace

ContactNames::ContactNames(const std::vector<ContactCard>& cards, std::string region)
    : region_(std::move(region)) {
    for (const ContactCard& card : cards) {
        for (const std::string& phone : card.phones) nameByKey_.try_emplace(keyOf(phone), card.name);
        for (const std::string& email : card.emails) nameByKey_.try_emplace(keyOf(email), card.name);
    }
    nameByKey_.erase("");
}

std::optional<std::string> ContactNames::nameOf(std::string_view handle) const {
    const auto found = nameByKey_.find(keyOf(handle));
    if (found == nameByKey_.end()) return std::nullopt;
    return found->second;
}

}  // namespace salvora
