#pragma once

// Reaching a folder below a chosen one without being led out of it by a planted link.
#include <span>
#include <string>
#include <string_view>

#include "foundation/Error.h"
#include "foundation/OpenFolder.h"

namespace salvora {

// Opens the folder that `components` lead to below the folder at `base`, one level at a time,
// creating the missing levels (and `base` with its intermediates) when asked. A link met on
// the way is refused, so the folder reached always lies inside `base`; `base` itself is taken
// as the user gave it, links and all.
Result<OpenFolder> openFolderBelow(const std::string& base,
                                   std::span<const std::string_view> components,
                                   CreateMissing create);

}  // namespace salvora
