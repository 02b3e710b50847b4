#pragma once

// The names the phone's owner gave the people in their address book, found by the handle an
// application keeps for someone: a phone number written any way people write one, or an e-mail
// address in any case.
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace salvora {

// One person of the address book as far as naming goes.
struct ContactCard {
    std::string name;  // as the phone shows it: "Ada Lovelace", or the company's name
    std::vector<std::string> phones;
    std::vector<std::string> emails;
};

class ContactNames {
  public:
    // Knows no one.
    ContactNames() = default;
    // `region`: the phone's own country as ISO 3166 letters ("DE"), by which numbers written
    // without a country code are read; empty when unknown.
    ContactNames(const std::vector<ContactCard>& cards, std::string region);

    // The name of the person `handle` belongs to; absent when no card holds it.
    std::optional<std::string> nameOf(std::string_view handle) const;

  private:
    std::string region_;
    std::unordered_map<std::string, std::string> nameByKey_;
};

// The country ("DE") whose code a number written with one ("+49 151 1234567") carries; empty
// for a number written without one or one libphonenumber doesn't read.
std::string regionOfNumber(std::string_view number);

}  // namespace salvora
