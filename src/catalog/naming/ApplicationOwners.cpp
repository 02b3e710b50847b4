#include "catalog/naming/ApplicationOwners.h"

#include "catalog/naming/KnownApplications.h"

namespace salvora {
namespace {

// Whether `longer` is `shorter` followed by "." and more.
bool extends(std::string_view longer, std::string_view shorter) {
    return longer.size() > shorter.size() + 1 && longer.starts_with(shorter) &&
           longer[shorter.size()] == '.';
}

constexpr std::string_view systemContainers = "System Containers";

}  // namespace

ApplicationOwners::ApplicationOwners(const std::vector<ContainerDomain>& containers) {
    for (const ContainerDomain& container : containers) {
        if (container.kind == ApplicationKind::App) applications_.insert(container.identifier);
        if (container.kind == ApplicationKind::Group) {
            if (auto owner = knownGroupOwner(groupSubject(container.identifier)))
                applications_.emplace(*owner);
        }
    }
}

ApplicationOwner ApplicationOwners::ownerOf(const ContainerDomain& container) const {
    switch (container.kind) {
        case ApplicationKind::Group:
            return groupOwner(container.identifier);
        case ApplicationKind::Plugin:
            return pluginOwner(container.identifier);
        case ApplicationKind::System:
            return {std::string(systemContainers), ApplicationKind::System};
        default:
            return {container.identifier, container.kind};
    }
}

ApplicationOwner ApplicationOwners::groupOwner(const std::string& groupIdentifier) const {
    const std::string_view subject = groupSubject(groupIdentifier);
    if (auto owner = knownGroupOwner(subject)) return {std::string(*owner), ApplicationKind::App};
    const std::string* found = nullptr;
    for (const std::string& application : applications_) {
        if (application == subject || extends(application, subject) ||
            extends(subject, application)) {
            // Shared by several applications: none of them owns it.
            if (found != nullptr) return {groupIdentifier, ApplicationKind::Group};
            found = &application;
        }
    }
    if (found == nullptr) return {groupIdentifier, ApplicationKind::Group};
    return {*found, ApplicationKind::App};
}

ApplicationOwner ApplicationOwners::pluginOwner(const std::string& pluginIdentifier) const {
    // The longest application identifier the extension's starts with, piece by piece.
    for (std::size_t dot = pluginIdentifier.rfind('.'); dot != std::string::npos && dot > 0;
         dot = pluginIdentifier.rfind('.', dot - 1)) {
        const std::string_view candidate = std::string_view(pluginIdentifier).substr(0, dot);
        if (applications_.contains(candidate))
            return {std::string(candidate), ApplicationKind::App};
    }
    return {pluginIdentifier, ApplicationKind::Plugin};
}

}  // namespace salvora
