#pragma once

// Checks made on property-list bytes before libplist sees them. libplist 2.2 parses nested
// values by recursion, builds a fresh copy of a binary list's object each time it is
// referenced, and stops the process on a dictionary key holding a NUL character, so a crafted
// list could overflow the stack, fill the memory or end the program. Real lists nest a few
// levels, share no containers and have plain keys, so none of them is refused.
#include <cstddef>
#include <span>

namespace salvora {

// Values nested deeper than this are refused.
inline constexpr std::size_t maxPropertyListDepth = 256;

// True when the bytes are safe to hand to libplist: for a binary list, a trailer and offset
// table that fit the bytes, every reference naming an object, nesting within the limit, no
// more values after expanding shared objects than four per byte and no more text and data
// than 32 bytes per byte (each with an allowance for small lists), and no NUL in a dictionary
// key; for anything else (XML), container tags nested within the limit.
bool isWithinPropertyListLimits(std::span<const std::byte> bytes);

}  // namespace salvora
