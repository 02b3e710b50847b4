#include "catalog/layouts/manifest_database/DomainTable.h"

#include "catalog/naming/DomainNames.h"
#include "foundation/Utf8Text.h"

namespace salvora {

std::string DomainTable::applicationName(std::uint32_t slot) const {
    const std::optional<std::string_view> domain = domains_.domain(slot);
    if (!domain || !utf8Text(*domain)) return std::string();
    return applicationNameForDomain(*domain);
}

}  // namespace salvora
