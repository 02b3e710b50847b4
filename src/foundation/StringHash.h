#pragma once

// Hashing that lets a map be searched with a string_view without making a string.
#include <cstddef>
#include <functional>
#include <string_view>

namespace salvora {

struct StringHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const noexcept {
        return std::hash<std::string_view>{}(text);
    }
};

}  // namespace salvora
