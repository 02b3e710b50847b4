#pragma once

// Text read from a device is used as text only when it is well-formed UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace salvora {

// The text when it is valid UTF-8; absent when it isn't, or was absent already.
std::optional<std::string_view> utf8Text(std::optional<std::string_view> bytes);
std::optional<std::string> utf8Text(std::optional<std::string> text);

}  // namespace salvora
