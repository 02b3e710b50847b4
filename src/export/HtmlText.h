#pragma once

// Text from a phone put into HTML as text: whatever it holds ("<script>", quotes, "&") shows as
// those characters, in element content and in quoted attribute values alike.
#include <string>
#include <string_view>

namespace salvora {

void appendHtmlEscaped(std::string& out, std::string_view text);
std::string htmlEscaped(std::string_view text);

// A relative path as a URL's path: every byte but letters, digits, "-._~" and "/"
// percent-encoded, so "a b#1.jpg" names that file and nothing else. Still to be escaped as an
// attribute.
std::string urlPathEscaped(std::string_view path);

}  // namespace salvora
