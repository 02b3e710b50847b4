#pragma once

// The 16 bytes every SQLite database file begins with: how a plain database is told from an
// encrypted one, or from anything else, before SQLite is asked to open it.
#include <algorithm>
#include <cstddef>
#include <span>
#include <string_view>

namespace salvora {

inline constexpr std::string_view sqliteFileHeader{"SQLite format 3\0", 16};

// Whether the bytes begin with "SQLite format 3" and its terminating zero byte.
inline bool startsWithSQLiteHeader(std::span<const std::byte> bytes) {
    return bytes.size() >= sqliteFileHeader.size() &&
           std::equal(sqliteFileHeader.begin(), sqliteFileHeader.end(), bytes.begin(),
                      [](char expected, std::byte actual) {
                          return static_cast<std::byte>(expected) == actual;
                      });
}

}  // namespace salvora
