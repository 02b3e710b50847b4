#pragma once

// vCard 3.0 (RFC 2426) cards, in the content lines of ContentLines.h.
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "export/ContentLines.h"

namespace salvora {

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
        addRaw(group, name, parameters, contentText(text));
    }

    // The card, ended.
    std::string finish() &&;

  private:
    std::string text_;
};

}  // namespace salvora
