#pragma once

#include <optional>

#include "foundation/Error.h"

namespace salvora {

// Puts the error into the caller's slot, when it gave one, and yields an absent result.
inline std::nullopt_t failWith(ErrorSlot* slot, Error error) {
    if (slot != nullptr) *slot = std::move(error);
    return std::nullopt;
}

}  // namespace salvora
