#pragma once

// vCard 3.0 (RFC 2426) text: lines ending in CRLF, folded before 75 octets without cutting a
// UTF-8 sequence, values escaped.
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace salvora {

// A text value with "\", ",", ";" and line breaks escaped.
std::string vCardText(std::string_view text);

// The parts of a structured value (N, ADR), each escaped, joined with ";".
std::string vCardParts(const std::vector<std::string>& parts);

// The bytes in base64, for PHOTO;ENCODING=b.
std::string base64(std::span<const std::byte> bytes);

// One card, written property by property.
class VCard {
  public:
    VCard();

    // "GROUP.NAME;PARAMETERS:VALUE" with `value` as it is (escaped already); `group` and
    // `parameters` may be empty.
    void addRaw(std::string_view group, std::string_view name, std::string_view parameters,
                std::string_view value);
    // The same with a text value, escaped.
    void addText(std::string_view group, std::string_view name, std::string_view parameters,
                 std::string_view text) {
        addRaw(group, name, parameters, vCardText(text));
    }

    // The card, ended.
    std::string finish() &&;

  private:
    std::string text_;
};

}  // namespace salvora
