#include "catalog/naming/KnownApplications.h"

#include <algorithm>
#include <span>

#include "catalog/naming/ContainerDomain.h"
#include "catalog/naming/IdentifierLabels.h"
#include "catalog/naming/KnownApplicationTable.h"
#include "foundation/AsciiCase.h"

namespace salvora {
namespace {

std::optional<std::string_view> lookUp(std::span<const known::Entry> table, std::string_view key) {
    auto found = std::find_if(table.begin(), table.end(), [key](const known::Entry& entry) {
        return equalsIgnoringAsciiCase(entry.first, key);
    });
    if (found == table.end()) return std::nullopt;
    return found->second;
}

}  // namespace

std::optional<std::string_view> knownDisplayName(std::string_view identifier) {
    return lookUp(known::displayNames, identifier);
}

std::optional<std::string_view> knownGroupOwner(std::string_view groupSubject) {
    return lookUp(known::groupOwners, groupSubject);
}

std::string fallbackDisplayName(const ApplicationRecord& application) {
    if (auto known = knownDisplayName(application.name)) return std::string(*known);
    if (application.kind == ApplicationKind::System || application.kind == ApplicationKind::Domain)
        return application.name;
    std::string name = writtenAsAName(readablePiece(application.name));
    if (application.kind == ApplicationKind::Group &&
        !hasDistinctiveLabel(groupSubject(application.name)))
        name += " (shared)";
    return name;
}

}  // namespace salvora
