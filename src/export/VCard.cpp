#include "export/VCard.h"

namespace salvora {
namespace {

// RFC 2426 folds lines longer than 75 octets; the break goes before a UTF-8 lead byte.
constexpr std::size_t foldWidth = 75;

bool continuesSequence(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

void appendFolded(std::string& out, std::string_view line) {
    std::size_t width = foldWidth;
    while (line.size() > width) {
        std::size_t cut = width;
        while (cut > 1 && continuesSequence(line[cut])) --cut;
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        width = foldWidth - 1;  // the space that starts a continuation counts
    }
    out.append(line);
    out += "\r\n";
}

}  // namespace

std::string vCardText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t index = 0; index < text.size(); ++index) {
        const char c = text[index];
        switch (c) {
            case '\\':
            case ',':
            case ';':
                escaped += '\\';
                escaped += c;
                break;
            case '\r':
                if (index + 1 < text.size() && text[index + 1] == '\n') ++index;
                [[fallthrough]];
            case '\n':
                escaped += "\\n";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::string vCardParts(const std::vector<std::string>& parts) {
    std::string joined;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        if (index > 0) joined += ';';
        joined += vCardText(parts[index]);
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
    std::string line;
    if (!group.empty()) line.append(group).append(".");
    line.append(name);
    if (!parameters.empty()) line.append(";").append(parameters);
    line.append(":").append(value);
    appendFolded(text_, line);
}

std::string VCard::finish() && {
    text_ += "END:VCARD\r\n";
    return std::move(text_);
}

}  // namespace salvora
