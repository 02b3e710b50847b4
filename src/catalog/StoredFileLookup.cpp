#include "catalog/StoredFileLookup.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <string>

#include "catalog/layouts/mdbackup/MdbackupReader.h"
#include "catalog/model/HexName.h"
#include "catalog/naming/ContainerDomain.h"
#include "catalog/naming/DomainNames.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

// The name the hash-named layouts store the file under: SHA-1 of "domain-path", spelled out.
std::string hashedName(std::string_view domain, std::string_view relativePath) {
    const std::string text = std::string(domain) + "-" + std::string(relativePath);
    std::array<std::byte, StoredName::keySize> digest{};
    unsigned int size = 0;
    EVP_Digest(text.data(), text.size(), reinterpret_cast<unsigned char*>(digest.data()), &size,
               EVP_sha1(), nullptr);
    return hexName(digest);
}

// The application's file at `fullpath`: the one stored under `preferredName` where several
// lie there, else the first.
std::optional<FileRecord> fileAt(const ApplicationRecord& application, std::string_view fullpath,
                                 std::string_view preferredName = {}) {
    std::optional<FileRecord> first;
    for (const FileRecord& file : application.files) {
        if (file.fullpath() != fullpath) continue;
        if (preferredName.empty() || file.name().ends_with(preferredName)) return file;
        if (!first) first = file;
    }
    return first;
}

// The application of that name as one of the older layouts filed it, not by grouping.
const ApplicationRecord* ungroupedApplication(const ApplicationMap& applications,
                                              std::string_view name) {
    const auto found = applications.find(name);
    return found == applications.end() || found->second->kind ? nullptr : found->second.get();
}

}  // namespace

std::optional<FileRecord> findStoredFile(const ApplicationMap& applications,
                                         std::string_view domain, std::string_view relativePath) {
    const std::string grouped = containerDomain(domain).pathHead() + std::string(relativePath);
    for (const auto& entry : applications) {
        const ApplicationRecord& application = *entry.second;
        if (!application.kind || std::find(application.domains.begin(), application.domains.end(),
                                           domain) == application.domains.end())
            continue;
        if (auto file = fileAt(application, grouped)) return file;
    }
    if (const auto* indexed = ungroupedApplication(applications, applicationNameForDomain(domain)))
        if (auto file = fileAt(*indexed, relativePath, hashedName(domain, relativePath)))
            return file;
    if (const auto* mdinfo = ungroupedApplication(applications, withoutAppDomain(domain)))
        if (auto file = fileAt(*mdinfo, appendingPathComponent(domain, relativePath))) return file;
    if (const auto* mdbackup =
            ungroupedApplication(applications, applicationNameForMdbackupPath(relativePath)))
        return fileAt(*mdbackup, relativePath);
    return std::nullopt;
}

namespace {

using FilesByPath =
    std::unordered_map<std::string, std::vector<FileRecord>, StringHash, std::equal_to<>>;

void addFiles(FilesByPath& files, const ApplicationRecord* application) {
    if (application == nullptr) return;
    for (const FileRecord& file : application->files)
        if (file.fullpath()) files[std::string(*file.fullpath())].push_back(file);
}

std::optional<FileRecord> preferred(const FilesByPath& files, std::string_view fullpath,
                                    std::string_view preferredName = {}) {
    const auto found = files.find(fullpath);
    if (found == files.end()) return std::nullopt;
    for (const FileRecord& file : found->second)
        if (preferredName.empty() || file.name().ends_with(preferredName)) return file;
    return found->second.front();
}

}  // namespace

const StoredFileIndex::DomainFiles& StoredFileIndex::filesOf(std::string_view domain) {
    if (auto found = domains_.find(domain); found != domains_.end()) return found->second;
    DomainFiles& files = domains_[std::string(domain)];
    for (const auto& entry : applications_) {
        const ApplicationRecord& application = *entry.second;
        if (application.kind && std::find(application.domains.begin(), application.domains.end(),
                                          domain) != application.domains.end())
            addFiles(files.grouped, &application);
    }
    addFiles(files.indexed, ungroupedApplication(applications_, applicationNameForDomain(domain)));
    addFiles(files.mdinfo, ungroupedApplication(applications_, withoutAppDomain(domain)));
    return files;
}

std::optional<FileRecord> StoredFileIndex::find(std::string_view domain,
                                                std::string_view relativePath) {
    const DomainFiles& files = filesOf(domain);
    if (auto file = preferred(files.grouped,
                              containerDomain(domain).pathHead() + std::string(relativePath)))
        return file;
    if (auto file = preferred(files.indexed, relativePath, hashedName(domain, relativePath)))
        return file;
    if (auto file = preferred(files.mdinfo, appendingPathComponent(domain, relativePath)))
        return file;
    // The ".mdbackup" lists name the application by the path: rare, and looked up directly.
    if (const auto* mdbackup =
            ungroupedApplication(applications_, applicationNameForMdbackupPath(relativePath)))
        return fileAt(*mdbackup, relativePath);
    return std::nullopt;
}

std::vector<std::string> StoredFileIndex::relativePathsBelow(std::string_view domain,
                                                             std::string_view folder) {
    const DomainFiles& files = filesOf(domain);
    std::vector<std::string> paths;
    auto gather = [&](const FilesByPath& byPath, const std::string& head) {
        for (const auto& entry : byPath) {
            std::string_view path = entry.first;
            if (!path.starts_with(head)) continue;
            path.remove_prefix(head.size());
            if (path.starts_with(folder) && path.size() > folder.size()) paths.emplace_back(path);
        }
    };
    gather(files.grouped, containerDomain(domain).pathHead());
    gather(files.indexed, {});
    gather(files.mdinfo, std::string(domain) + "/");
    std::sort(paths.begin(), paths.end());
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

}  // namespace salvora
