#pragma once

// How the modern readers (Manifest.db, the database without index) turn what they read into
// applications: each file is gathered with the others of its domain, its path put below the
// container's place ("App Groups/GID/…"), and once every domain is known each container goes
// to the application owning it (ApplicationOwners). An application's files come container by
// container, in the order the containers were first met, each in the order read.
//
// A domain that is absent, empty or not UTF-8 files its files under the empty name, as in
// every layout (layouts/Filing.h).
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/model/DomainSlots.h"
#include "catalog/model/Records.h"
#include "catalog/naming/ContainerDomain.h"

namespace salvora {

// The files one read of a table, or one part of it, gathered container by container, with
// their texts (the container's path head built into the full path) in its own arena.
class ContainerFiler {
  public:
    // The file stored under `name`, of the modern layouts' own way ("oldVersion" false).
    void file(std::optional<std::string_view> domain, StoredName name,
              std::optional<std::string_view> fullpath, const FileDetailsSource* details,
              std::int64_t detailsKey);

  private:
    friend void fileContainers(std::span<ContainerFiler> parts,
                               const std::shared_ptr<RecordStorage>& storage,
                               ApplicationMap& applications);

    struct Container {
        std::optional<std::string> domain;  // absent: no usable domain
        ContainerDomain parsed;
        std::string pathHead;
        std::vector<FileRecord> files;
    };

    std::size_t containerFor(std::optional<std::string_view> domain);
    std::size_t newContainerFor(std::optional<std::string_view> domain);
    std::size_t addContainer(std::optional<std::string_view> domain);

    TextArena texts_;
    std::vector<Container> containers_;
    // Every domain read, and by its slot the container it files into.
    DomainSlots domains_;
    std::vector<std::size_t> containerOf_;
    std::optional<std::size_t> unnamed_;
};

// Files the containers of every part under the applications owning them, the parts taken as
// consecutive pieces of one read, with the kind, the domains and a display name from what
// Salvora knows (Info.plist's names come later, see ApplicationNames.h). The parts' texts move
// into `storage`, which every application filed into keeps.
void fileContainers(std::span<ContainerFiler> parts, const std::shared_ptr<RecordStorage>& storage,
                    ApplicationMap& applications);

}  // namespace salvora
