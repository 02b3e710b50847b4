#pragma once

// A count with its noun for people: "1 file", "2 files", "0 files".
#include <cstddef>
#include <string>
#include <string_view>

namespace salvora {

inline std::string counted(std::size_t count, std::string_view one, std::string_view many) {
    return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

}  // namespace salvora
