#include "catalog/ContainerFiler.h"

#include <iterator>

#include "catalog/ApplicationOwners.h"
#include "catalog/Filing.h"
#include "catalog/KnownApplications.h"

namespace salvora {
namespace {

void append(std::vector<FileRecord>& files, std::vector<FileRecord>&& more) {
    if (files.empty()) {
        files = std::move(more);
        return;
    }
    files.insert(files.end(), std::make_move_iterator(more.begin()),
                 std::make_move_iterator(more.end()));
}

}  // namespace

void ContainerFiler::file(std::optional<std::string_view> domain, FileRecord record) {
    std::optional<std::string_view> text = utf8Text(domain);
    // An empty domain names nothing, like a missing one.
    if (text && text->empty()) text.reset();
    Container& container = containerFor(text);
    if (!container.pathHead.empty() && record.fullpath)
        record.fullpath->insert(0, container.pathHead);
    container.files.push_back(std::move(record));
}

ContainerFiler::Container& ContainerFiler::containerFor(std::optional<std::string_view> domain) {
    if (last_ && containers_[*last_].domain == domain) return containers_[*last_];
    std::optional<std::size_t> index = unnamed_;
    if (domain) {
        auto found = byDomain_.find(*domain);
        index = found == byDomain_.end() ? std::nullopt : std::optional(found->second);
    }
    if (!index) {
        index = containers_.size();
        Container& added = containers_.emplace_back();
        if (domain) {
            added.domain = std::string(*domain);
            added.parsed = containerDomain(*domain);
            added.pathHead = added.parsed.pathHead();
            byDomain_.emplace(*added.domain, *index);
        } else {
            unnamed_ = index;
        }
    }
    last_ = index;
    return containers_[*index];
}

void ContainerFiler::finish() {
    std::vector<ContainerDomain> named;
    for (const Container& container : containers_)
        if (container.domain) named.push_back(container.parsed);
    const ApplicationOwners owners(named);
    std::vector<ApplicationRecord*> grouped;
    for (Container& container : containers_) {
        if (!container.domain) {
            append(getOrCreateApplicationNamed("", applications_)->files,
                   std::move(container.files));
            continue;
        }
        const ApplicationOwner owner = owners.ownerOf(container.parsed);
        ApplicationRecord& application = *getOrCreateApplicationNamed(owner.name, applications_);
        if (!application.kind) {
            application.kind = owner.kind;
            grouped.push_back(&application);
        }
        application.domains.push_back(std::move(*container.domain));
        append(application.files, std::move(container.files));
    }
    for (ApplicationRecord* application : grouped)
        application->displayName = fallbackDisplayName(*application);
    containers_.clear();
    byDomain_.clear();
    unnamed_.reset();
    last_.reset();
}

}  // namespace salvora
