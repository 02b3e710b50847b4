#include "sources/contacts/ContactNames.h"

#include <phonenumbers/phonenumberutil.h>

#include <algorithm>
#include <cctype>

namespace salvora {
namespace {

using i18n::phonenumbers::PhoneNumber;
using i18n::phonenumbers::PhoneNumberUtil;

// libphonenumber's name for "no country known": only numbers with a country code parse.
constexpr const char* unknownRegion = "ZZ";

// The key a handle is filed under: an e-mail address in lower case; a phone number as
// libphonenumber writes it in E.164 ("+491511234567"), read in the phone's country when written
// without a country code; else, when it reads no number there, its digits as written.
std::string keyOf(std::string_view handle, const std::string& region) {
    std::string key;
    if (handle.find('@') != std::string_view::npos) {
        for (const char c : handle) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    }
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    PhoneNumber number;
    if (util.Parse(std::string(handle), region.empty() ? unknownRegion : region, &number) ==
        PhoneNumberUtil::NO_PARSING_ERROR) {
        util.Format(number, PhoneNumberUtil::E164, &key);
        return key;
    }
    for (const char c : handle)
        if (std::isdigit(static_cast<unsigned char>(c))) key += c;
    return key;
}

}  // namespace

ContactNames::ContactNames(const std::vector<ContactCard>& cards, std::string region)
    : region_(std::move(region)) {
    for (const ContactCard& card : cards) {
        for (const std::string& phone : card.phones)
            nameByKey_.try_emplace(keyOf(phone, region_), card.name);
        for (const std::string& email : card.emails)
            nameByKey_.try_emplace(keyOf(email, region_), card.name);
    }
    nameByKey_.erase("");
}

std::optional<std::string> ContactNames::nameOf(std::string_view handle) const {
    const auto found = nameByKey_.find(keyOf(handle, region_));
    if (found == nameByKey_.end()) return std::nullopt;
    return found->second;
}

std::string regionOfNumber(std::string_view number) {
    const PhoneNumberUtil& util = *PhoneNumberUtil::GetInstance();
    PhoneNumber parsed;
    if (util.Parse(std::string(number), unknownRegion, &parsed) != PhoneNumberUtil::NO_PARSING_ERROR)
        return {};
    std::string region;
    util.GetRegionCodeForCountryCode(parsed.country_code(), &region);
    return region == unknownRegion ? std::string() : region;
}

}  // namespace salvora
