#include "export/VCard.h"

#include "export/ContentLines.h"

namespace salvora {

std::string vCardParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        if (index > 0) joined += ';';
        joined += contentText(parts[index]);
    }
    return joined;
}

std::string base64(std::span<const std::byte> bytes) {
    static constexpr char alphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t index = 0;
    auto at = [&](std::size_t position) { return std::to_integer<unsigned>(bytes[position]); };
    for (; index + 2 < bytes.size(); index += 3) {
        const unsigned group = at(index) << 16 | at(index + 1) << 8 | at(index + 2);
        for (int shift = 18; shift >= 0; shift -= 6) encoded += alphabet[(group >> shift) & 63];
    }
    if (const std::size_t left = bytes.size() - index; left > 0) {
        const unsigned group = at(index) << 16 | (left == 2 ? at(index + 1) << 8 : 0u);
        encoded += alphabet[(group >> 18) & 63];
        encoded += alphabet[(group >> 12) & 63];
        encoded += left == 2 ? alphabet[(group >> 6) & 63] : '=';
        encoded += '=';
    }
    return encoded;
}

VCard::VCard() { text_ = "BEGIN:VCARD\r\nVERSION:3.0\r\n"; }

void VCard::addRaw(std::string_view group, std::string_view name, std::string_view parameters,
                   std::string_view value) {
    if (group.empty()) return appendContentLine(text_, name, parameters, value);
    appendContentLine(text_, std::string(group) + "." + std::string(name), parameters, value);
}

std::string VCard::finish() && {
    text_ += "END:VCARD\r\n";
    return std::move(text_);
}

}  // namespace salvora
