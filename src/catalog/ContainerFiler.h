#pragma once

// How the modern readers (Manifest.db, the database without index) turn what they read into
// applications: each file is gathered with the others of its domain, its path put below the
// container's place ("App Groups/GID/…"), and once every domain is known each container goes
// to the application owning it (ApplicationOwners). An application's files come container by
// container, in the order the containers were first met, each in the order read.
//
// A domain that is absent or not UTF-8 files its files under the empty name, as in every
// layout (Filing.h).
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "catalog/ContainerDomain.h"
#include "catalog/Records.h"

namespace salvora {

class ContainerFiler {
  public:
    explicit ContainerFiler(ApplicationMap& applications) : applications_(applications) {}

    void file(std::optional<std::string_view> domain, FileRecord record);

    // Files every container under its application, with the kind, the domains and a display
    // name from what Salvora knows (Info.plist's names come later, see ApplicationNames.h).
    void finish();

  private:
    struct Container {
        std::optional<std::string> domain;  // absent: no usable domain
        ContainerDomain parsed;
        std::string pathHead;
        std::vector<FileRecord> files;
    };

    Container& containerFor(std::optional<std::string_view> domain);

    ApplicationMap& applications_;
    std::vector<Container> containers_;
    std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>> byDomain_;
    std::optional<std::size_t> unnamed_;
    // Consecutive records mostly share a domain.
    std::optional<std::size_t> last_;
};

}  // namespace salvora
