#pragma once

// The name a contact card (vCard 2.1, 3.0 or 4.0) gives the person it describes, as a chat shows
// a shared card: its "FN", else its "N" put in reading order.
#include <optional>
#include <string>
#include <string_view>

namespace salvora {

// Cards longer than this are read only this far: a name sits near the start.
inline constexpr std::size_t vCardReadLimit = 64 * 1024;
// A longer name is cut at a character's end.
inline constexpr std::size_t vCardNameLimit = 256;

// Absent when the card names no one, or its name is not UTF-8.
std::optional<std::string> vCardName(std::string_view card);

}  // namespace salvora
