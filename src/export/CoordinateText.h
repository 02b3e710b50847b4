#pragma once

// A latitude or longitude as the files people open write it: degrees with six decimals (about
// a tenth of a metre) and a point, whatever this computer's locale. The window's Qt sets the
// user's locale, under which printf would write "52,520000".
#include <charconv>
#include <string>

namespace salvora {

inline std::string coordinateText(double degrees) {
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, degrees,
                                       std::chars_format::fixed, 6);
    return written.ec == std::errc() ? std::string(text, written.ptr) : std::string();
}

}  // namespace salvora
