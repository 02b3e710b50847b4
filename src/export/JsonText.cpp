#include "export/JsonText.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <limits>

namespace salvora {

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char hex[] = "0123456789abcdef";
    static constexpr std::string_view replacement = "\xEF\xBF\xBD";
    out += '"';
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    // ICU counts in 32 bits; no text of a phone's databases comes near that.
    const auto length = static_cast<std::int32_t>(
        std::min<std::size_t>(text.size(), std::numeric_limits<std::int32_t>::max()));
    std::int32_t index = 0;
    while (index < length) {
        // Most text needs no escape: each run of it is appended whole.
        std::int32_t run = index;
        while (run < length && bytes[run] >= 0x20 && bytes[run] < 0x80 && bytes[run] != '"' &&
               bytes[run] != '\\')
            ++run;
        out.append(text.data() + index, static_cast<std::size_t>(run - index));
        index = run;
        if (index == length) break;
        const std::uint8_t byte = bytes[index];
        if (byte >= 0x80) {
            const std::int32_t start = index;
            UChar32 codePoint = 0;
            U8_NEXT(bytes, index, length, codePoint);
            if (codePoint < 0)
                out += replacement;
            else
                out.append(text.data() + start, static_cast<std::size_t>(index - start));
            continue;
        }
        ++index;
        switch (byte) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0xF];
        }
    }
    out += '"';
}

void appendJsonStringOrNull(std::string& out, const std::optional<std::string>& text) {
    if (text)
        appendJsonString(out, *text);
    else
        out += "null";
}

}  // namespace salvora
