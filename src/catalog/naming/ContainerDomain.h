#pragma once

// What a modern backup's domain names: an application's own container ("AppDomain-ID"), a
// group container ("AppDomainGroup-GID"), an extension's ("AppDomainPlugin-PID"), a system
// container ("SysContainerDomain-…", "SysSharedContainerDomain-…"), or another domain.
#include <string>
#include <string_view>

#include "catalog/model/Records.h"

namespace salvora {

struct ContainerDomain {
    // App, Group, Plugin or System for a container; Domain for anything else, a head with
    // nothing after it among them.
    ApplicationKind kind = ApplicationKind::Domain;
    // The part after the head ("net.whatsapp.WhatsApp"); the whole domain for another domain.
    std::string identifier;

    // Where a file of the container goes among its application's files, so that no two
    // containers' files collide: "App Groups/GID/", "Extensions/PID/", "ID/" for a system
    // container, nothing for an application's own container or another domain.
    std::string pathHead() const;
};

ContainerDomain containerDomain(std::string_view domain);

// A group's identifier without its "group." or "TEAMID.groups." head: what it says of the
// application it belongs to ("243LU875E5.groups.com.apple.podcasts" gives "com.apple.podcasts").
std::string_view groupSubject(std::string_view groupIdentifier);

}  // namespace salvora
