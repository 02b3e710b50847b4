#pragma once

// Letter case of the ASCII letters alone, for identifiers and names of files that compare the
// same whatever case a system wrote them in ("com.apple.Home", "com.apple.home").
#include <algorithm>
#include <string>
#include <string_view>

namespace salvora {

inline char asciiLowered(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

inline std::string asciiLowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return asciiLowered(c); });
    return lowered;
}

inline bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return asciiLowered(x) == asciiLowered(y);
           });
}

inline bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view head) {
    return text.size() >= head.size() && equalsIgnoringAsciiCase(text.substr(0, head.size()), head);
}

}  // namespace salvora
