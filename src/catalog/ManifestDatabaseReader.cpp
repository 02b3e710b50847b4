#include "catalog/ManifestDatabaseReader.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "catalog/Filing.h"
#include "catalog/HexName.h"
#include "catalog/RecordOrder.h"
#include "foundation/BackupFileNames.h"
#include "foundation/FileQueries.h"
#include "foundation/FileReading.h"
#include "foundation/FileWindow.h"
#include "foundation/Path.h"

namespace salvora {
namespace {

constexpr std::size_t indexHeaderSize = 10;
constexpr std::size_t indexEntrySize = 26;
constexpr std::size_t keySize = 20;
// Enough for the domain and path of nearly every record.
constexpr std::size_t likelyStringsSize = 256;

// The first two strings of a record: all the catalogue takes from it.
struct RecordStrings {
    ManifestString domain;
    ManifestString path;
};

std::optional<RecordStrings> readRecordStrings(ByteCursor& record) {
    std::optional<ManifestString> domain = getString(record);
    if (!domain) return std::nullopt;
    std::optional<ManifestString> path = getString(record);
    if (!path) return std::nullopt;
    return RecordStrings{*domain, *path};
}

// A database loaded whole.
class DatabaseInMemory {
  public:
    explicit DatabaseInMemory(std::span<const std::byte> bytes) : bytes_(bytes) {}

    std::optional<RecordStrings> stringsAt(std::uint64_t position) {
        ByteCursor record(bytes_);
        if (position > bytes_.size() || !record.seek(static_cast<std::size_t>(position)))
            return std::nullopt;
        return readRecordStrings(record);
    }
    bool failed() const { return false; }

  private:
    std::span<const std::byte> bytes_;
};

// A database read through a window, front to back, as the visits come in file order.
class DatabaseInFile {
  public:
    explicit DatabaseInFile(FileWindow& file) : file_(file) {}

    std::optional<RecordStrings> stringsAt(std::uint64_t position) {
        // Most records' two strings fit in a short piece read at once.
        const auto likely = static_cast<std::size_t>(std::min<std::uint64_t>(
            likelyStringsSize, file_.size() - std::min(position, file_.size())));
        if (auto piece = file_.read(position, likely)) {
            ByteCursor record(*piece);
            if (auto strings = readRecordStrings(record)) return strings;
        }
        // Longer ones: the length of each string is read before the string, so no more is asked
        // for than the record holds.
        std::size_t length = 0;
        for (int string = 0; string < 2; ++string) {
            auto lengthBytes = file_.read(position + length, 2);
            if (!lengthBytes) return std::nullopt;
            ByteCursor field(*lengthBytes);
            const std::uint16_t textLength = *getUint16(field);
            length += 2 + (textLength == absentStringLength ? 0 : textLength);
        }
        auto bytes = file_.read(position, length);
        if (!bytes) return std::nullopt;
        ByteCursor record(*bytes);
        return readRecordStrings(record);
    }
    bool failed() const { return file_.failed(); }

  private:
    FileWindow& file_;
};

constexpr std::uint32_t noDomain = UINT32_MAX;

// The distinct domains of the records, each named once however many records carry it, with
// the number of records that do.
class DomainTable {
  public:
    std::uint32_t slotOf(ManifestString domain) {
        if (last_ == noDomain || slots_[last_].domain != domain) last_ = find(domain);
        ++slots_[last_].records;
        return last_;
    }

    // The application each domain's records are filed under, as the database layouts name it.
    std::string applicationName(std::uint32_t slot) const {
        const std::optional<std::string>& domain = slots_[slot].domain;
        if (!domain || !utf8Text(std::string_view(*domain))) return std::string();
        return applicationNameForDomain(*domain);
    }
    std::size_t records(std::uint32_t slot) const { return slots_[slot].records; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(slots_.size()); }

  private:
    struct Slot {
        std::optional<std::string> domain;
        std::size_t records = 0;
    };

    std::uint32_t find(ManifestString domain) {
        if (!domain) {
            if (absent_ == noDomain) absent_ = add(std::nullopt);
            return absent_;
        }
        if (auto found = byDomain_.find(*domain); found != byDomain_.end()) return found->second;
        const std::uint32_t slot = add(std::string(*domain));
        byDomain_.emplace(*slots_[slot].domain, slot);
        return slot;
    }

    std::uint32_t add(std::optional<std::string> domain) {
        slots_.push_back({std::move(domain), 0});
        return static_cast<std::uint32_t>(slots_.size() - 1);
    }

    std::vector<Slot> slots_;
    std::unordered_map<std::string, std::uint32_t, StringHash, std::equal_to<>> byDomain_;
    std::uint32_t absent_ = noDomain;
    std::uint32_t last_ = noDomain;
};

inline void prefetchForWriting([[maybe_unused]] const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address, 1);
#endif
}

// What the index says of each used entry, read in one forward pass.
struct UsedEntries {
    std::vector<std::size_t> entries;  // where in the index the entry starts
    std::vector<RecordVisit> visits;   // the same entries, to be put in file order
};

UsedEntries readIndex(std::span<const std::byte> index) {
    UsedEntries used;
    ByteCursor cursor(index, manifestIndexMagic.size());
    std::optional<std::uint32_t> count = getUint32(cursor);
    if (!count) return used;
    // A count beyond what the index holds stops at the last whole entry.
    const std::size_t whole = std::min<std::size_t>(*count, cursor.remaining() / indexEntrySize);
    used.entries.reserve(whole);
    used.visits.reserve(whole);
    for (std::size_t entry = 0; entry < whole; ++entry) {
        ByteCursor fields(*cursor.readBytes(indexEntrySize), keySize);
        const std::uint32_t recordOffset = *getUint32(fields);
        if (!isRegularFileMode(*getUint16(fields))) continue;
        used.visits.push_back({recordOffset, static_cast<std::uint32_t>(used.entries.size())});
        used.entries.push_back(indexHeaderSize + indexEntrySize * entry);
    }
    return used;
}

// How many visits ahead the entries they fill in are fetched, so the walk doesn't wait for
// memory: the visits come in file order, their entries are spread over the whole index.
constexpr std::size_t lookahead = 16;

// Reads every used entry's domain and path, visiting the records in file order so the database
// is read once from front to back. An entry whose record runs past the end of the database gets
// no domain and is skipped. False when the database could not be read: the caller then adds
// nothing, as when a file can't be loaded.
template <typename Database>
bool readRecords(UsedEntries& used, Database& database, DomainTable& domains,
                 std::vector<std::uint32_t>& domainOf,
                 std::vector<std::optional<std::string>>& pathOf) {
    sortByRecordOffset(used.visits);
    domainOf.assign(used.entries.size(), noDomain);
    pathOf.resize(used.entries.size());
    for (std::size_t next = 0; next < used.visits.size(); ++next) {
        if (next + lookahead < used.visits.size()) {
            const std::uint32_t ahead = used.visits[next + lookahead].entry;
            prefetchForWriting(&domainOf[ahead]);
            prefetchForWriting(&pathOf[ahead]);
        }
        const RecordVisit& visit = used.visits[next];
        auto strings =
            database.stringsAt(manifestDatabaseMagic.size() + std::uint64_t{visit.recordOffset});
        if (!strings) continue;
        domainOf[visit.entry] = domains.slotOf(strings->domain);
        if (auto path = utf8Text(strings->path)) pathOf[visit.entry].emplace(*path);
    }
    used.visits = {};
    return !database.failed();
}

template <typename Database>
void addFiles(std::span<const std::byte> index, Database& database, ApplicationMap& applications) {
    UsedEntries used = readIndex(index);
    DomainTable domains;
    std::vector<std::uint32_t> domainOf;
    std::vector<std::optional<std::string>> pathOf;
    if (!readRecords(used, database, domains, domainOf, pathOf)) return;

    // The files, in index order. Each application is looked up once per domain, and its list
    // grows once, by all its new files.
    std::vector<ApplicationRecord*> applicationOf(domains.size(), nullptr);
    std::unordered_map<std::string, std::size_t, StringHash, std::equal_to<>> growth;
    std::vector<std::string> names(domains.size());
    for (std::uint32_t slot = 0; slot < domains.size(); ++slot) {
        names[slot] = domains.applicationName(slot);
        growth[names[slot]] += domains.records(slot);
    }
    for (std::size_t entry = 0; entry < used.entries.size(); ++entry) {
        const std::uint32_t slot = domainOf[entry];
        if (slot == noDomain) continue;
        ApplicationRecord*& application = applicationOf[slot];
        if (application == nullptr) {
            application = getOrCreateApplicationNamed(names[slot], applications).get();
            if (std::size_t& more = growth[names[slot]]; more > 0) {
                application->files.reserve(application->files.size() + more);
                more = 0;
            }
        }
        ByteCursor key(index, used.entries[entry]);
        FileRecord& file = application->files.emplace_back();
        file.name = hexName(*key.readBytes(keySize));
        file.fullpath = std::move(pathOf[entry]);
        file.oldVersion = false;
    }
}

}  // namespace

bool hasMagic(std::span<const std::byte> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() &&
           std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

void addManifestDatabaseFiles(std::span<const std::byte> index, std::span<const std::byte> database,
                              ApplicationMap& applications) {
    if (!hasMagic(index, manifestIndexMagic) || !hasMagic(database, manifestDatabaseMagic)) return;
    DatabaseInMemory records(database);
    addFiles(index, records, applications);
}

void addManifestDatabaseFilesFromDirectory(const std::string& directory,
                                           ApplicationMap& applications) {
    const std::string indexPath = appendingPathComponent(directory, ManifestMbdxName);
    if (!fileExists(indexPath)) return;
    std::optional<FileBytes> index = readFile(indexPath);
    if (!index || !hasMagic(index->bytes(), manifestIndexMagic)) return;
    // The database is opened only once the index has passed its test. It is read in file
    // order through a window rather than loaded whole, so a large backup's catalogue never
    // holds the records' other fields in memory.
    std::optional<FileWindow> database =
        FileWindow::open(appendingPathComponent(directory, ManifestMbdbName));
    if (!database) return;
    auto magic = database->read(0, manifestDatabaseMagic.size());
    if (!magic || !hasMagic(*magic, manifestDatabaseMagic)) return;
    DatabaseInFile records(*database);
    addFiles(index->bytes(), records, applications);
}

}  // namespace salvora
