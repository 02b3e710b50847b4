#include "bench/BackupShape.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "bench/Random.h"

namespace salvora::bench {
namespace {

// Application identifiers: "com.<vendor>.<product>", every product name given once before
// any is given again with a number ("notes", then "notes2"), so every application has a name
// of its own.
constexpr std::array<std::string_view, 37> vendors{
    "harborline", "quillmark",   "brightloop", "northwind", "pixelforge", "tidewater",
    "ambergate",  "bluecedar",   "copperleaf", "driftwood", "emberly",    "foxglove",
    "glasshouse", "hollowoak",   "ironbark",   "juniper",   "kestrel",    "lanternfly",
    "moonrake",   "nettlefield", "oakshade",   "pinecrest", "quartzline", "redfern",
    "saltmarsh",  "thistle",     "umberlake",  "vantage",   "willowby",   "yellowtail",
    "zephyrine",  "arcadia",     "bramble",    "cobalt",    "dunmore",    "evenstar",
    "fernhill"};
constexpr std::array<std::string_view, 53> products{
    "photovault", "journal",   "notes",     "maps",      "chat",     "music",  "reader",
    "weather",    "fitness",   "calendar",  "mail",      "podcasts", "camera", "scanner",
    "wallet",     "tasks",     "recipes",   "travel",    "news",     "budget", "sleep",
    "translate",  "drive",     "docs",      "sheets",    "slides",   "video",  "radio",
    "books",      "comics",    "chess",     "puzzle",    "garden",   "stars",  "tides",
    "transit",    "parking",   "bank",      "shop",      "auction",  "dating", "meditate",
    "runner",     "cycling",   "golf",      "tennis",    "sketch",   "paint",  "studio",
    "tuner",      "metronome", "voicememo", "flashcards"};

constexpr std::array<std::string_view, 14> systemDomains{"HomeDomain",
                                                         "MediaDomain",
                                                         "CameraRollDomain",
                                                         "KeychainDomain",
                                                         "RootDomain",
                                                         "WirelessDomain",
                                                         "SystemPreferencesDomain",
                                                         "ManagedPreferencesDomain",
                                                         "DatabaseDomain",
                                                         "MobileDeviceDomain",
                                                         "HealthDomain",
                                                         "KeyboardDomain",
                                                         "TonesDomain",
                                                         "BooksDomain"};

std::string productOf(std::size_t index) {
    std::string product(products[index % products.size()]);
    if (const std::size_t round = index / products.size(); round > 0)
        product += std::to_string(round + 1);
    return product;
}

std::string applicationIdentifier(std::size_t index) {
    return "com." + std::string(vendors[index % vendors.size()]) + "." + productOf(index);
}

// The top folders of a domain, each after its parent.
std::vector<std::string> topFolders(std::string_view domain) {
    if (domain == "HomeDomain")
        return {"Library",          "Library/SMS",         "Library/Preferences", "Library/Caches",
                "Library/Mail",     "Library/AddressBook", "Library/Notes",       "Library/Safari",
                "Library/Calendar", "Library/Voicemail"};
    if (domain == "MediaDomain" || domain == "CameraRollDomain")
        return {"Media", "Media/DCIM", "Media/DCIM/100APPLE", "Media/PhotoData",
                "Media/Recordings"};
    if (domain.starts_with("AppDomain-"))
        return {"Documents",
                "Library",
                "Library/Caches",
                "Library/Preferences",
                "Library/Application Support",
                "tmp"};
    if (domain.starts_with("AppDomainGroup-")) return {"Library", "Library/Caches", "Documents"};
    return {"Library", "Library/Preferences", "Library/Caches"};
}

constexpr std::array<std::string_view, 20> folderWords{
    "Caches", "Data",         "Images",  "Thumbnails", "Downloads", "Attachments", "Backups",
    "Logs",   "Sessions",     "Cookies", "WebKit",     "Snapshots", "Offline",     "Assets",
    "Store",  "fsCachedData", "Sync",    "Drafts",     "Exports",   "Media"};
constexpr std::array<std::string_view, 20> fileWords{
    "IMG",   "photo",  "note",    "message", "cache",  "thumb", "record",
    "store", "index",  "session", "draft",   "export", "asset", "track",
    "chat",  "avatar", "log",     "backup",  "entry",  "item"};
constexpr std::array<std::string_view, 14> extensions{"jpg",    "png",   "heic", "mov", "db",
                                                      "sqlite", "plist", "json", "txt", "dat",
                                                      "m4a",    "pdf",   "log",  "bin"};

constexpr std::size_t shortestPath = 20;
constexpr std::size_t longestPath = 80;
// A new folder's path leaves room for a file name below it.
constexpr std::size_t longestFolder = 56;

std::string hexOrdinal(std::size_t ordinal, int digits) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*zx", digits, ordinal);
    return text;
}

// A file name that brings its path to the wanted length where it can (`room` characters after
// the folder and its "/"); the ordinal keeps it unique within its domain.
std::string fileName(Random& random, std::size_t ordinal, std::size_t room) {
    const std::string ending = hexOrdinal(ordinal, 6) + "." + std::string(random.pick(extensions));
    std::string name = std::string(random.pick(fileWords)) + "_" + ending;
    if (name.size() > room) return ending;
    if (name.size() < room) {
        static constexpr std::string_view letters = "abcdefghijklmnopqrstuvwxyz0123456789";
        std::string filler = "_";
        while (name.size() + filler.size() < room) filler += letters[random.below(letters.size())];
        name.insert(name.size() - ending.size() - 1, filler);
    }
    return name;
}

// Sizes between 1 KiB and 1 MiB, spread evenly on a log scale, that add up to `total`.
std::vector<std::uint64_t> storedSizes(Random& random, std::size_t count, std::uint64_t total) {
    std::vector<double> raw(count);
    double sum = 0;
    for (double& size : raw)
        sum += size = std::exp(std::log(1024.0) + random.unit() * std::log(1024.0));
    std::vector<std::uint64_t> sizes(count);
    std::uint64_t given = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sizes[i] = static_cast<std::uint64_t>(raw[i] / sum * static_cast<double>(total));
        given += sizes[i];
    }
    if (count > 0) sizes.back() += total - given;
    return sizes;
}

// One domain's folders and files.
class DomainWriter {
  public:
    DomainWriter(const DomainShare& share, Random& random,
                 const std::function<void(const BackupItem&)>& visit)
        : share_(share), random_(random), visit_(visit) {}

    void run(const std::vector<std::uint64_t>& storedSizes) {
        for (const std::string& folder : topFolders(share_.domain)) addFolder(folder);
        for (std::size_t ordinal = 0; ordinal < share_.files; ++ordinal) {
            if (random_.chance(0.1)) addFolder(newFolderPath());
            const std::string& folder = folders_[random_.below(folders_.size())];
            const std::size_t length = random_.between(shortestPath, longestPath);
            const std::size_t room = length > folder.size() + 1 ? length - folder.size() - 1 : 0;
            std::string path = folder + "/" + fileName(random_, ordinal, room);
            BackupItem item = itemAt(path);
            item.stored = share_.stored;
            item.size = share_.stored ? storedSizes[ordinal] : logUniformSize();
            visit_(item);
        }
    }

  private:
    std::string newFolderPath() {
        for (;;) {
            const std::string& parent = folders_[random_.below(folders_.size())];
            std::string name =
                std::string(random_.pick(folderWords)) + "-" + hexOrdinal(folderCount_++, 4);
            if (parent.size() + 1 + name.size() <= longestFolder) return parent + "/" + name;
        }
    }

    void addFolder(const std::string& path) {
        folders_.push_back(path);
        BackupItem item = itemAt(folders_.back());
        item.isDirectory = true;
        visit_(item);
    }

    BackupItem itemAt(std::string_view path) {
        BackupItem item;
        item.domain = share_.domain;
        item.path = path;
        // Some time in 2015 to 2019.
        item.lastModified = static_cast<std::uint32_t>(1420070400 + random_.below(157766400));
        return item;
    }

    std::uint64_t logUniformSize() {
        return static_cast<std::uint64_t>(
            std::exp(std::log(100.0) + random_.unit() * std::log(1e5)));
    }

    const DomainShare& share_;
    Random& random_;
    const std::function<void(const BackupItem&)>& visit_;
    std::vector<std::string> folders_;
    std::size_t folderCount_ = 0;
};

}  // namespace

std::vector<DomainShare> domainShares(const BackupPlan& plan) {
    std::size_t left = plan.files;
    auto take = [&left](std::size_t wanted) {
        const std::size_t given = std::min(wanted, left);
        left -= given;
        return given;
    };
    std::vector<DomainShare> shares;
    shares.push_back({"AppDomain-" + applicationIdentifier(0), take(plan.largestApplicationFiles)});
    shares.push_back({"AppDomain-" + applicationIdentifier(1), take(plan.storedFiles), true});

    // The rest on a long-tailed spread: the big system domains first, then the other
    // applications (some with a group container or an extension of their own) with the smaller
    // system domains among them.
    std::vector<std::string> others(systemDomains.begin(), systemDomains.begin() + 3);
    std::size_t nextSystemDomain = 3;
    for (std::size_t index = 2; index < plan.applications; ++index) {
        const std::string identifier = applicationIdentifier(index);
        others.push_back("AppDomain-" + identifier);
        if (index % 3 == 0) others.push_back("AppDomainGroup-group." + identifier);
        if (index % 5 == 0)
            others.push_back("AppDomainPlugin-" + identifier + "." + productOf(index) + "Widget");
        if (index % 16 == 0 && nextSystemDomain < systemDomains.size())
            others.emplace_back(systemDomains[nextSystemDomain++]);
    }
    while (nextSystemDomain < systemDomains.size())
        others.emplace_back(systemDomains[nextSystemDomain++]);

    double weights = 0;
    for (std::size_t rank = 1; rank <= others.size(); ++rank) weights += 1.0 / double(rank);
    const double spread = double(left);
    for (std::size_t rank = 1; rank <= others.size(); ++rank) {
        const auto wanted = static_cast<std::size_t>(spread / double(rank) / weights);
        shares.push_back({others[rank - 1], take(std::max<std::size_t>(wanted, 1))});
    }
    if (shares.size() > 2) shares[2].files += take(left);  // what rounding left over
    std::erase_if(shares, [](const DomainShare& share) { return share.files == 0; });
    return shares;
}

std::vector<std::string> applicationIdentifiers(const BackupPlan& plan) {
    std::vector<std::string> identifiers;
    for (std::size_t index = 0; index < plan.applications; ++index)
        identifiers.push_back(applicationIdentifier(index));
    return identifiers;
}

std::string storeName(std::string_view identifier) {
    const std::size_t vendorStart = identifier.find('.') + 1;
    const std::size_t productStart = identifier.find('.', vendorStart) + 1;
    std::string name(identifier.substr(productStart));
    std::string vendor(identifier.substr(vendorStart, productStart - vendorStart - 1));
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    vendor[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(vendor[0])));
    return name + " by " + vendor;
}

std::string largestApplicationName() { return productOf(0); }
std::string storedApplicationName() { return productOf(1); }

void forEachItem(const BackupPlan& plan, const std::function<void(const BackupItem&)>& visit) {
    Random random(plan.seed);
    const std::vector<std::uint64_t> sizes =
        storedSizes(random, plan.storedFiles, plan.storedBytes);
    for (const DomainShare& share : domainShares(plan)) {
        DomainWriter(share, random, visit).run(sizes);
    }
}

}  // namespace salvora::bench
