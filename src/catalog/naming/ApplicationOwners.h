#pragma once

// Which application of a modern backup owns each container, from the containers the backup
// holds: a group or an extension goes to the application its identifier points at, and stands
// as an application of its own when it points at none (a group also when it points at several).
#include <set>
#include <string>
#include <vector>

#include "catalog/naming/ContainerDomain.h"

namespace salvora {

struct ApplicationOwner {
    std::string name;
    ApplicationKind kind;

    bool operator==(const ApplicationOwner&) const = default;
};

class ApplicationOwners {
  public:
    explicit ApplicationOwners(const std::vector<ContainerDomain>& containers);

    ApplicationOwner ownerOf(const ContainerDomain& container) const;

  private:
    ApplicationOwner groupOwner(const std::string& groupIdentifier) const;
    ApplicationOwner pluginOwner(const std::string& pluginIdentifier) const;

    // Every application with a container of its own, and those Apple's groups point at.
    std::set<std::string, std::less<>> applications_;
};

}  // namespace salvora
