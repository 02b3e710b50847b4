#pragma once

// What a large backup holds, made up from a plan: its domains in the order the device writes
// them, and in each domain its folders and files with paths of 20 to 80 characters, about one
// folder for every ten files. The same plan always gives the same backup.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace salvora::bench {

struct BackupPlan {
    std::size_t files = 1'000'000;  // regular-file entries
    std::size_t applications = 300;
    // Files of the first application (the one the window benchmark chooses); 0 leaves it to
    // the spread.
    std::size_t largestApplicationFiles = 0;
    // An application whose every file is also stored in the backup, with sizes that add up to
    // storedBytes (save all copies these).
    std::size_t storedFiles = 0;
    std::uint64_t storedBytes = 0;
    std::uint64_t seed = 2026;
};

// A domain and how many regular files it holds.
struct DomainShare {
    std::string domain;
    std::size_t files = 0;
    bool stored = false;
};

// Every domain that gets at least one file: the largest application first, then the stored
// one, then the system domains and the other applications with a long-tailed spread.
std::vector<DomainShare> domainShares(const BackupPlan& plan);

// The identifiers of the plan's applications ("com.<vendor>.<product>"), the largest first.
std::vector<std::string> applicationIdentifiers(const BackupPlan& plan);
// What the store calls the application of an identifier ("Photovault by Harborline").
std::string storeName(std::string_view identifier);

// The application names, as the catalogue forms them from the first two domains.
std::string largestApplicationName();
std::string storedApplicationName();

struct BackupItem {
    std::string_view domain;
    std::string_view path;
    bool isDirectory = false;
    std::uint64_t size = 0;
    std::uint32_t lastModified = 0;  // seconds since 1970
    bool stored = false;             // its contents go into the backup folder
};

// Every item, domain by domain, each folder before anything inside it.
void forEachItem(const BackupPlan& plan, const std::function<void(const BackupItem&)>& visit);

}  // namespace salvora::bench
