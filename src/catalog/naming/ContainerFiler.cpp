#include "catalog/naming/ContainerFiler.h"

#include <unordered_map>

#include "catalog/naming/ApplicationOwners.h"
#include "catalog/naming/KnownApplications.h"
#include "foundation/Utf8Text.h"

namespace salvora {
namespace {

// One container of the whole read: its files as each part holds them.
struct GatheredContainer {
    std::vector<std::vector<FileRecord>*> pieces;
    ApplicationRecord* application = nullptr;
};

// Adds a container's files, room made once for all the application will still receive.
void append(ApplicationRecord& application, std::vector<FileRecord>& files,
            std::size_t& remaining) {
    const std::size_t count = files.size();
    if (application.files.empty()) {
        application.files = std::move(files);
        application.files.reserve(remaining);
    } else {
        application.files.reserve(application.files.size() + remaining);
        application.files.insert(application.files.end(), files.begin(), files.end());
    }
    files = {};
    remaining -= count;
}

}  // namespace

void ContainerFiler::file(std::optional<std::string_view> domain, StoredName name,
                          std::optional<std::string_view> fullpath,
                          const FileDetailsSource* details, std::int64_t detailsKey) {
    Container& container = containers_[containerFor(domain)];
    container.files.push_back(FileRecord::writing(texts_, name, container.pathHead, fullpath, false,
                                                  details, detailsKey));
}

std::size_t ContainerFiler::containerFor(std::optional<std::string_view> domain) {
    const std::uint32_t slot = domains_.slotOf(domain);
    if (slot == containerOf_.size()) containerOf_.push_back(newContainerFor(domain));
    return containerOf_[slot];
}

std::size_t ContainerFiler::newContainerFor(std::optional<std::string_view> domain) {
    std::optional<std::string_view> text = utf8Text(domain);
    // An empty domain names nothing, like a missing one.
    if (text && text->empty()) text.reset();
    if (text) return addContainer(text);
    return unnamed_ ? *unnamed_ : addContainer(std::nullopt);
}

std::size_t ContainerFiler::addContainer(std::optional<std::string_view> domain) {
    const std::size_t index = containers_.size();
    Container& added = containers_.emplace_back();
    if (domain) {
        added.domain = std::string(*domain);
        added.parsed = containerDomain(*domain);
        added.pathHead = added.parsed.pathHead();
    } else {
        unnamed_ = index;
    }
    return index;
}

void fileContainers(std::span<ContainerFiler> parts, const std::shared_ptr<RecordStorage>& storage,
                    ApplicationMap& applications) {
    // Each container once, in the order the parts, one after the other, first met it.
    std::vector<GatheredContainer> gathered;
    std::vector<const ContainerFiler::Container*> firsts;
    std::unordered_map<std::string_view, std::size_t> byDomain;
    std::optional<std::size_t> unnamed;
    for (ContainerFiler& part : parts) {
        for (ContainerFiler::Container& container : part.containers_) {
            std::optional<std::size_t> index = unnamed;
            if (container.domain) {
                auto found = byDomain.find(*container.domain);
                index = found == byDomain.end() ? std::nullopt : std::optional(found->second);
            }
            if (!index) {
                index = gathered.size();
                if (container.domain)
                    byDomain.emplace(*container.domain, *index);
                else
                    unnamed = index;
                gathered.emplace_back();
                firsts.push_back(&container);
            }
            gathered[*index].pieces.push_back(&container.files);
        }
    }

    std::vector<ContainerDomain> named;
    for (const ContainerFiler::Container* container : firsts)
        if (container->domain) named.push_back(container->parsed);
    const ApplicationOwners owners(named);
    std::vector<ApplicationRecord*> grouped;
    std::unordered_map<const ApplicationRecord*, std::size_t> remaining;
    for (std::size_t index = 0; index < gathered.size(); ++index) {
        const ContainerFiler::Container& container = *firsts[index];
        ApplicationRecord* application = nullptr;
        if (!container.domain) {
            application = getOrCreateApplicationNamed("", applications).get();
        } else {
            const ApplicationOwner owner = owners.ownerOf(container.parsed);
            application = getOrCreateApplicationNamed(owner.name, applications).get();
            if (!application->kind) {
                application->kind = owner.kind;
                grouped.push_back(application);
            }
            application->domains.push_back(*container.domain);
        }
        keepStorage(*application, storage);
        gathered[index].application = application;
        for (const std::vector<FileRecord>* files : gathered[index].pieces)
            remaining[application] += files->size();
    }
    for (GatheredContainer& container : gathered)
        for (std::vector<FileRecord>* files : container.pieces)
            append(*container.application, *files, remaining[container.application]);
    for (ApplicationRecord* application : grouped)
        application->displayName = fallbackDisplayName(*application);
    for (ContainerFiler& part : parts) storage->texts.absorb(std::move(part.texts_));
}

}  // namespace salvora
