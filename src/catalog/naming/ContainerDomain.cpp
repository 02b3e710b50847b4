#include "catalog/naming/ContainerDomain.h"

#include <array>
#include <utility>

namespace salvora {
namespace {

constexpr std::array<std::pair<std::string_view, ApplicationKind>, 5> containerHeads{{
    {"AppDomain-", ApplicationKind::App},
    {"AppDomainGroup-", ApplicationKind::Group},
    {"AppDomainPlugin-", ApplicationKind::Plugin},
    {"SysContainerDomain-", ApplicationKind::System},
    {"SysSharedContainerDomain-", ApplicationKind::System},
}};

}  // namespace

std::string ContainerDomain::pathHead() const {
    switch (kind) {
        case ApplicationKind::Group:
            return "App Groups/" + identifier + "/";
        case ApplicationKind::Plugin:
            return "Extensions/" + identifier + "/";
        case ApplicationKind::System:
            return identifier + "/";
        default:
            return {};
    }
}

ContainerDomain containerDomain(std::string_view domain) {
    for (const auto& [head, kind] : containerHeads) {
        if (domain.size() > head.size() && domain.starts_with(head))
            return {kind, std::string(domain.substr(head.size()))};
    }
    return {ApplicationKind::Domain, std::string(domain)};
}

std::string_view groupSubject(std::string_view groupIdentifier) {
    constexpr std::string_view groupHead = "group.";
    constexpr std::string_view teamGroups = ".groups.";
    if (groupIdentifier.starts_with(groupHead)) return groupIdentifier.substr(groupHead.size());
    // A team identifier is one piece: the first "." must open ".groups.".
    const std::size_t firstDot = groupIdentifier.find('.');
    if (firstDot != std::string_view::npos && firstDot > 0 &&
        groupIdentifier.substr(firstDot).starts_with(teamGroups))
        return groupIdentifier.substr(firstDot + teamGroups.size());
    return groupIdentifier;
}

}  // namespace salvora
