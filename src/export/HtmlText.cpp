#include "export/HtmlText.h"

namespace salvora {

void appendHtmlEscaped(std::string& out, std::string_view text) {
    std::size_t plain = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::string_view entity;
        switch (text[i]) {
        case '&': entity = "&amp;"; break;
        case '<': entity = "&lt;"; break;
        case '>': entity = "&gt;"; break;
        case '"': entity = "&quot;"; break;
        case '\'': entity = "&#39;"; break;
        // A NUL has no place in a page: browsers show it as U+FFFD anyway.
        case '\0': entity = "\xEF\xBF\xBD"; break;
        default: continue;
        }
        out.append(text.substr(plain, i - plain)).append(entity);
        plain = i + 1;
    }
    out.append(text.substr(plain));
}

std::string htmlEscaped(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    appendHtmlEscaped(out, text);
    return out;
}

std::string urlPathEscaped(std::string_view path) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' || c == '~' ||
            c == '/') {
            out.push_back(c);
        } else {
            out.push_back('%');
            out.push_back(digits[byte >> 4]);
            out.push_back(digits[byte & 0xF]);
        }
    }
    return out;
}

}  // namespace salvora
