#include "catalog/naming/ApplicationOwners.h"

#include <initializer_list>

#include "catalog/naming/IdentifierLabels.h"
#include "catalog/naming/KnownApplications.h"
#include "foundation/AsciiCase.h"

namespace salvora {
namespace {

// Whether `longer` is `shorter` followed by "." and more.
bool extends(std::string_view longer, std::string_view shorter) {
    return longer.size() > shorter.size() + 1 && longer.starts_with(shorter) &&
           longer[shorter.size()] == '.';
}

constexpr std::string_view systemContainers = "System Containers";

// The identifier of the application a container of no application stands for.
std::string orphanIdentifier(const ContainerDomain& container) {
    const std::string_view stem = container.kind == ApplicationKind::Group
                                      ? groupSubject(container.identifier)
                                      : withoutLastLabel(container.identifier);
    const std::string_view identifier = withoutPartTails(stem);
    if (!hasDistinctiveLabel(identifier)) return container.identifier;
    return std::string(identifier);
}

bool isApples(std::string_view identifier) {
    return startsWithIgnoringAsciiCase(groupSubject(identifier), "com.apple.");
}

}  // namespace

ApplicationOwners::ApplicationOwners(const std::vector<ContainerDomain>& containers) {
    for (const ContainerDomain& container : containers) {
        if (container.kind == ApplicationKind::App) applications_.insert(container.identifier);
        if (container.kind == ApplicationKind::Group) {
            if (auto owner = knownGroupOwner(groupSubject(container.identifier)))
                applications_.emplace(*owner);
        }
    }
    for (const ContainerDomain& container : containers) {
        const bool group = container.kind == ApplicationKind::Group;
        if (!group && container.kind != ApplicationKind::Plugin) continue;
        const Claim claim = claimOf(container);
        if (!claim.application && !claim.several)
            orphansHoldGroup_[orphanIdentifier(container)] |= group;
    }
}

ApplicationOwner ApplicationOwners::ownerOf(const ContainerDomain& container) const {
    switch (container.kind) {
        case ApplicationKind::Group:
        case ApplicationKind::Plugin: {
            Claim claim = claimOf(container);
            if (claim.application) return {std::move(*claim.application), ApplicationKind::App};
            if (claim.several) return {container.identifier, container.kind};
            return orphanOwner(container);
        }
        case ApplicationKind::System:
            return {std::string(systemContainers), ApplicationKind::System};
        default:
            return {container.identifier, container.kind};
    }
}

ApplicationOwners::Claim ApplicationOwners::claimOf(const ContainerDomain& container) const {
    return container.kind == ApplicationKind::Group ? groupClaim(container.identifier)
                                                    : pluginClaim(container.identifier);
}

ApplicationOwners::Claim ApplicationOwners::groupClaim(const std::string& groupIdentifier) const {
    const std::string_view subject = groupSubject(groupIdentifier);
    if (auto owner = knownGroupOwner(subject)) return {std::string(*owner)};
    // By the identifier first; by the developer's part only where the identifier names none.
    using Rule = bool (*)(std::string_view group, std::string_view application);
    const Rule byIdentifier = [](std::string_view group, std::string_view application) {
        return application == group || extends(application, group) || extends(group, application);
    };
    for (const Rule claims : {byIdentifier, Rule(&shareDevelopersPart)}) {
        const std::string* found = nullptr;
        for (const std::string& application : applications_) {
            if (!claims(subject, application)) continue;
            if (found != nullptr) return {std::nullopt, true};
            found = &application;
        }
        if (found != nullptr) return {*found};
    }
    return {};
}

ApplicationOwners::Claim ApplicationOwners::pluginClaim(const std::string& pluginIdentifier) const {
    // The longest application identifier the extension's starts with, piece by piece.
    for (std::size_t dot = pluginIdentifier.rfind('.'); dot != std::string::npos && dot > 0;
         dot = pluginIdentifier.rfind('.', dot - 1)) {
        const std::string_view candidate = std::string_view(pluginIdentifier).substr(0, dot);
        if (applications_.contains(candidate)) return {std::string(candidate)};
    }
    return {};
}

ApplicationOwner ApplicationOwners::orphanOwner(const ContainerDomain& container) const {
    std::string identifier = orphanIdentifier(container);
    // A container the owners were not made from stands alone.
    const auto family = orphansHoldGroup_.find(identifier);
    const bool holdsGroup = family != orphansHoldGroup_.end()
                                ? family->second
                                : container.kind == ApplicationKind::Group;
    if (isApples(identifier) && !(holdsGroup && knownDisplayName(identifier)))
        return {std::string(systemContainers), ApplicationKind::System};
    return {std::move(identifier), holdsGroup ? ApplicationKind::Group : ApplicationKind::Plugin};
}

}  // namespace salvora
