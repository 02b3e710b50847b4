#pragma once

// JSON written straight into text, for exports of a million values, where building a document
// of each first would cost more than the writing.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace salvora {

// The text as a JSON string, quoted and escaped; bytes that are no UTF-8 become U+FFFD, so text
// from the phone never makes the file unreadable.
void appendJsonString(std::string& out, std::string_view text);

// The string, or null.
void appendJsonStringOrNull(std::string& out, const std::optional<std::string>& text);

inline void appendJsonNumber(std::string& out, std::uint64_t number) {
    out += std::to_string(number);
}

inline void appendJsonBool(std::string& out, bool value) { out += value ? "true" : "false"; }

}  // namespace salvora
