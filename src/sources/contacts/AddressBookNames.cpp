#include "sources/contacts/AddressBookNames.h"

#include <map>
#include <tuple>

#include "foundation/BackupFileNames.h"
#include "foundation/Path.h"
#include "plist/PropertyList.h"
#include "sources/contacts/AddressBook.h"

namespace salvora {
namespace {

// The phone's country: that of its own number, "Phone Number" of the backup's Info.plist, else
// the one most of the address book's numbers written with a country code carry.
std::string regionOf(const std::string& deviceDirectory, const std::vector<ContactCard>& cards) {
    const auto info =
        PropertyList::dictionaryFromFile(appendingPathComponent(deviceDirectory, InfoPlistName));
    if (const auto own = info["Phone Number"].string()) {
        std::string region = regionOfNumber(*own);
        if (!region.empty()) return region;
    }
    std::map<std::string, std::size_t> counts;
    for (const ContactCard& card : cards)
        for (const std::string& phone : card.phones)
            if (std::string region = regionOfNumber(phone); !region.empty()) ++counts[region];
    std::string most;
    std::size_t highest = 0;
    for (const auto& [region, count] : counts)
        if (count > highest) std::tie(most, highest) = std::tie(region, count);
    return most;
}

}  // namespace

Result<ContactNames> readContactNames(const std::string& deviceDirectory,
                                      const ApplicationMap& applications,
                                      const UnlockedKeybag* keybag) {
    auto book = readBackupAddressBook(deviceDirectory, applications, keybag, false);
    if (!book) return book.error();
    std::vector<ContactCard> cards;
    cards.reserve(book->contacts.size());
    for (const Contact& contact : book->contacts) {
        ContactCard card{displayName(contact), {}, {}};
        for (const LabeledValue& phone : contact.phones) card.phones.push_back(phone.value);
        for (const LabeledValue& email : contact.emails) card.emails.push_back(email.value);
        cards.push_back(std::move(card));
    }
    std::string region = regionOf(deviceDirectory, cards);
    return ContactNames(cards, std::move(region));
}

}  // namespace salvora
