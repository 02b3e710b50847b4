#include "sources/whatsapp/VCardName.h"

#include <algorithm>
#include <vector>

#include "foundation/Utf8Text.h"

namespace salvora {
namespace {

bool sameLetters(std::string_view text, std::string_view upper) {
    return text.size() == upper.size() &&
           std::equal(text.begin(), text.end(), upper.begin(), [](char a, char b) {
               return (a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a) == b;
           });
}

// The card's logical lines: a line break followed by a space or tab continues the line.
std::vector<std::string> unfoldedLines(std::string_view card) {
    std::vector<std::string> lines(1);
    for (std::size_t at = 0; at < card.size(); ++at) {
        const char c = card[at];
        if (c != '\r' && c != '\n') {
            lines.back() += c;
            continue;
        }
        if (c == '\r' && at + 1 < card.size() && card[at + 1] == '\n') ++at;
        if (at + 1 < card.size() && (card[at + 1] == ' ' || card[at + 1] == '\t'))
            ++at;
        else
            lines.emplace_back();
    }
    return lines;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// vCard 2.1's "=C3=A9"; a "=" not followed by two digits stays as it is.
std::string quotedPrintable(std::string_view value) {
    std::string decoded;
    for (std::size_t at = 0; at < value.size(); ++at) {
        if (value[at] == '=' && at + 2 < value.size() && hexDigit(value[at + 1]) >= 0 &&
            hexDigit(value[at + 2]) >= 0) {
            decoded += static_cast<char>(hexDigit(value[at + 1]) * 16 + hexDigit(value[at + 2]));
            at += 2;
        } else {
            decoded += value[at];
        }
    }
    return decoded;
}

// A property's value split at unescaped ";" with "\,", "\;", "\\" and "\n" undone.
std::vector<std::string> components(std::string_view value) {
    std::vector<std::string> parts(1);
    for (std::size_t at = 0; at < value.size(); ++at) {
        const char c = value[at];
        if (c == '\\' && at + 1 < value.size()) {
            const char next = value[++at];
            parts.back() += next == 'n' || next == 'N' ? ' ' : next;
        } else if (c == ';') {
            parts.emplace_back();
        } else {
            parts.back() += c;
        }
    }
    return parts;
}

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// The value of the first property of that name ("FN", "item1.FN;CHARSET=UTF-8"), decoded.
std::optional<std::string> propertyValue(const std::vector<std::string>& lines,
                                         std::string_view name) {
    for (const std::string& line : lines) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        std::string_view head = std::string_view(line).substr(0, colon);
        const std::size_t semicolon = head.find(';');
        std::string_view property = head.substr(0, semicolon);
        if (const std::size_t dot = property.rfind('.'); dot != std::string_view::npos)
            property = property.substr(dot + 1);
        if (!sameLetters(property, name)) continue;
        const std::string_view value = std::string_view(line).substr(colon + 1);
        std::string upperHead;
        for (char c : head) upperHead += c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
        if (semicolon != std::string_view::npos &&
            upperHead.find("QUOTED-PRINTABLE") != std::string::npos)
            return quotedPrintable(value);
        return std::string(value);
    }
    return std::nullopt;
}

// "N:Lovelace;Ada;Augusta;Lady;" in reading order: "Lady Ada Augusta Lovelace".
std::string readingOrder(const std::vector<std::string>& parts) {
    static constexpr std::size_t order[] = {3, 1, 2, 0, 4};
    std::string name;
    for (std::size_t index : order) {
        if (index >= parts.size()) continue;
        const std::string part = trimmed(parts[index]);
        if (part.empty()) continue;
        if (!name.empty()) name += ' ';
        name += part;
    }
    return name;
}

// Cut to the limit at the start of a character.
std::string bounded(std::string name) {
    if (name.size() <= vCardNameLimit) return name;
    std::size_t end = vCardNameLimit;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    name.resize(end);
    return name;
}

}  // namespace

std::optional<std::string> vCardName(std::string_view card) {
    const std::vector<std::string> lines = unfoldedLines(card.substr(0, vCardReadLimit));
    std::string name;
    if (auto full = propertyValue(lines, "FN")) {
        std::vector<std::string> parts = components(*full);
        std::string joined;
        for (std::size_t index = 0; index < parts.size(); ++index)
            joined += (index ? ";" : "") + parts[index];
        name = trimmed(joined);
    }
    if (name.empty())
        if (auto structured = propertyValue(lines, "N"))
            name = readingOrder(components(*structured));
    // A name of nothing but stray continuation bytes is cut to nothing: no name.
    name = bounded(std::move(name));
    if (name.empty()) return std::nullopt;
    return utf8Text(std::optional(std::move(name)));
}

}  // namespace salvora
