#pragma once

// Which row of a modern backup's application list each container goes to, from the containers
// the backup holds.
//
// A group or an extension goes to the application its identifier points at: a group to the
// one its subject names, extends or is extended by ("group.com.google.chrome" and
// "com.google.chrome.ios"), else to the one application that shares the developer's part with
// it and which no other application shares it with ("group.typewise.sharedsettings" and
// "ch.icoaching.typewise", IdentifierLabels.h); an extension to the longest identifier of an
// application it starts with. A group several applications could own stays a row of its own.
//
// A container no application of the backup owns stands for its application: the groups and
// extensions of one identifier ("group.com.apple.stocks", "com.apple.stocks.widget") make one
// row, named by that identifier ("com.apple.stocks"): a group's subject, an extension's
// identifier without its last label, either without the part labels at its end. An identifier
// with no distinctive label left ("group.com.google.common") makes a row of its own instead.
//
// Apple's containers of no application in the backup go under "System Containers", with the
// system containers themselves, unless they hold a group of one of Apple's applications
// Salvora knows (Stocks' list, Weather's places). Apple's applications keep their data in
// the home folder and in groups; what stays are the system's extension points, the UI
// services of its frameworks ("com.apple.AppleAccountUI.AAUIFollowUpExtension") and the
// widgets' caches, which hold nothing of the user's own.
#include <map>
#include <optional>
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
    // The application of the backup owning a group or an extension: one, none, or several.
    struct Claim {
        std::optional<std::string> application;
        bool several = false;
    };
    Claim claimOf(const ContainerDomain& container) const;
    Claim groupClaim(const std::string& groupIdentifier) const;
    Claim pluginClaim(const std::string& pluginIdentifier) const;
    ApplicationOwner orphanOwner(const ContainerDomain& container) const;

    // Every application with a container of its own, and those Apple's groups point at.
    std::set<std::string, std::less<>> applications_;
    // By the identifier they stand for, whether the containers of no application hold a group.
    std::map<std::string, bool, std::less<>> orphansHoldGroup_;
};

}  // namespace salvora
