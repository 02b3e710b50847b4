#include "catalog/layouts/manifest_database/ManifestDatabaseReader.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "catalog/layouts/manifest_database/DomainTable.h"
#include "catalog/layouts/manifest_database/RecordOrder.h"
#include "foundation/BackupFileNames.h"
#include "foundation/BothCores.h"
#include "foundation/FileQueries.h"
#include "foundation/FileReading.h"
#include "foundation/FileWindow.h"
#include "foundation/Path.h"
#include "foundation/Plural.h"
#include "foundation/Prefetch.h"
#include "foundation/Utf8Text.h"
#include "foundation/platform/PagePopulation.h"

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
    std::uint64_t size() const { return bytes_.size(); }

  private:
    std::span<const std::byte> bytes_;
};

// A database read through a window, front to back, as the visits come in file order.
class DatabaseInFile {
  public:
    explicit DatabaseInFile(FileWindow file) : file_(std::move(file)) {}

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
    std::uint64_t size() const { return file_.size(); }

  private:
    FileWindow file_;
};

constexpr std::uint32_t noDomain = DomainTable::noDomain;
// The entry of a regular file whose record runs past the end of the database.
constexpr std::uint32_t unreadRecord = noDomain - 1;

// The number of whole entries the index holds: a count beyond them stops at the last.
std::size_t indexEntryCount(std::span<const std::byte> index) {
    ByteCursor cursor(index, manifestIndexMagic.size());
    std::optional<std::uint32_t> count = getUint32(cursor);
    return count ? std::min<std::size_t>(*count, cursor.remaining() / indexEntrySize) : 0;
}

// The big-endian value at `bytes`, which the caller has checked hold it. Scanning a million
// index entries this way, rather than through a checked ByteCursor per entry, took a tenth off
// a whole `apps` process.
template <typename Unsigned>
Unsigned bigEndianAt(const std::byte* bytes) {
    Unsigned value = 0;
    for (std::size_t at = 0; at < sizeof(Unsigned); ++at)
        value = static_cast<Unsigned>((value << 8) | std::to_integer<Unsigned>(bytes[at]));
    return value;
}

// Record offsets in [from, to): the records one part of the reading visits.
struct OffsetRange {
    std::uint64_t from = 0;
    std::uint64_t to = UINT64_MAX;

    bool holds(std::uint32_t offset) const { return offset >= from && offset < to; }
};

// The first `entries` entries' visits to regular-file records in `range`, read in one forward
// pass, sorted by record offset.
RecordVisits readIndex(std::span<const std::byte> index, std::size_t entries, OffsetRange range) {
    RecordVisits visits;
    // Room for every entry: only the pages the visits fill are ever touched, and they never move.
    visits.reserve(entries);
    const std::byte* fields = index.data() + indexHeaderSize + keySize;
    for (std::size_t entry = 0; entry < entries; ++entry, fields += indexEntrySize) {
        const auto recordOffset = bigEndianAt<std::uint32_t>(fields);
        if (range.holds(recordOffset) && isRegularFileMode(bigEndianAt<std::uint16_t>(fields + 4)))
            visits.push_back({recordOffset, static_cast<std::uint32_t>(entry)});
    }
    sortByRecordOffset(visits);
    return visits;
}

constexpr std::uint32_t absentPath = UINT32_MAX;
static_assert(keySize == StoredName::keySize);
// The part of the visits an entry was read by, in the top bit of its domain slot.
constexpr std::uint32_t secondPart = 0x8000'0000;
// Below this many index entries a second thread costs more than it saves.
constexpr std::size_t visitsWorthSplitting = 20'000;

// What the visits of one part of the database found: its domains, and the texts it wrote.
struct ScannedPart {
    DomainTable domains;
    TextArena texts;
};

// What its record gives an index entry. Sixteen aligned bytes never straddle two cache lines,
// so filling an entry in costs one miss.
struct alignas(16) ScannedEntry {
    // The stored file's key, then the full path, in the arena of the part that read the record.
    const char* texts = nullptr;
    std::uint32_t pathSize = absentPath;  // absentPath: missing, or not UTF-8
    // noDomain: not a regular file; unreadRecord: its record runs past the end of the database.
    std::uint32_t domain = noDomain;
};

// What the records give the index entries: filled in file order, read in index order.
struct ScannedEntries {
    std::array<ScannedPart, 2> parts;
    std::vector<ScannedEntry> entries;
};

// How many visits ahead the entries they fill in are fetched, so the walk doesn't wait for
// memory: the visits come in file order, their entries are spread over the whole index.
constexpr std::size_t lookahead = 16;

// Reads the domain and path of each visit's record, in file order, and writes its stored name
// and path. Each part writes only its own visits' entries.
template <typename Database>
void readPart(std::span<const std::byte> index, Database& database, const RecordVisits& visits,
              ScannedEntries& scanned, std::size_t part) {
    ScannedPart& scannedPart = scanned.parts[part];
    const std::uint32_t partBit = part == 0 ? 0 : secondPart;
    for (std::size_t next = 0; next < visits.size(); ++next) {
        if (next + lookahead < visits.size()) {
            const std::uint32_t ahead = visits[next + lookahead].entry;
            prefetchForWriting(&scanned.entries[ahead]);
            // The key may straddle two cache lines.
            const std::byte* key =
                index.data() + indexHeaderSize + indexEntrySize * std::size_t{ahead};
            prefetchForReading(key);
            prefetchForReading(key + keySize - 1);
        }
        const RecordVisit& visit = visits[next];
        auto strings =
            database.stringsAt(manifestDatabaseMagic.size() + std::uint64_t{visit.recordOffset});
        ScannedEntry& entry = scanned.entries[visit.entry];
        if (!strings) {
            entry.domain = unreadRecord;
            continue;
        }
        entry.domain = scannedPart.domains.slotOf(strings->domain) | partBit;
        const std::optional<std::string_view> path = utf8Text(strings->path);
        char* at = scannedPart.texts.allocate(keySize + (path ? path->size() : 0));
        ByteCursor key(index, indexHeaderSize + indexEntrySize * std::size_t{visit.entry});
        std::memcpy(at, key.readBytes(keySize)->data(), keySize);
        if (path) path->copy(at + keySize, path->size());
        entry.texts = at;
        entry.pathSize = path ? static_cast<std::uint32_t>(path->size()) : absentPath;
    }
}

// Reads every regular-file entry's record, visiting the records in file order so the database
// is read once from front to back: a large one in two halves at once, the second through a
// database `openAnother` gives. Each half finds and orders its own visits. False when the
// database could not be read: the caller then adds nothing, as when a file can't be loaded.
template <typename Database, typename OpenAnother>
bool readRecords(std::span<const std::byte> index, Database& database, OpenAnother openAnother,
                 ScannedEntries& scanned) {
    const std::size_t entries = indexEntryCount(index);
    scanned.entries.assign(entries, {});
    // Records are about the same size, so the middle of the file halves the work.
    const std::uint64_t middle = database.size() / 2;
    return readInHalves(
        entries, visitsWorthSplitting, database, openAnother, [&](Database& reader, ReadHalf part) {
            const OffsetRange range = part == ReadHalf::Whole   ? OffsetRange{}
                                      : part == ReadHalf::First ? OffsetRange{0, middle}
                                                                : OffsetRange{middle};
            readPart(index, reader, readIndex(index, entries, range), scanned,
                     part == ReadHalf::Second);
            return !reader.failed();
        });
}

// Files the entries in index order. Each application is looked up once per domain and its list
// grows once, by all its new files. With many files, the other core meanwhile has the pages the
// records go to mapped in, which filing them one at a time would otherwise wait for.
void fileEntries(ScannedEntries& scanned, ApplicationMap& applications) {
    auto storage = std::make_shared<RecordStorage>();
    std::array<std::vector<ApplicationRecord*>, 2> applicationOf;
    std::unordered_map<ApplicationRecord*, std::size_t> newFiles;
    for (std::size_t part = 0; part < 2; ++part) {
        const DomainTable& domains = scanned.parts[part].domains;
        for (std::uint32_t slot = 0; slot < domains.size(); ++slot) {
            ApplicationRecord* application =
                getOrCreateApplicationNamed(domains.applicationName(slot), applications).get();
            applicationOf[part].push_back(application);
            newFiles[application] += domains.records(slot);
        }
        storage->texts.absorb(std::move(scanned.parts[part].texts));
    }
    // Where each application's new records will lie: its list never moves while they are filed.
    std::vector<std::span<FileRecord>> room;
    for (const auto& [application, count] : newFiles) {
        keepStorage(*application, storage);
        std::vector<FileRecord>& files = application->files;
        files.reserve(files.size() + count);
        room.emplace_back(files.data() + files.size(), count);
    }
    auto fileAll = [&] {
        for (const ScannedEntry& entry : scanned.entries) {
            if (entry.domain == noDomain || entry.domain == unreadRecord) continue;
            const std::size_t part = (entry.domain & secondPart) != 0 ? 1 : 0;
            applicationOf[part][entry.domain & ~secondPart]->files.emplace_back(
                entry.texts, keySize,
                entry.pathSize == absentPath ? std::nullopt
                                             : std::optional<std::size_t>(entry.pathSize),
                false, nullptr, 0, StoredName::Form::Key);
        }
    };
    if (scanned.entries.size() < visitsWorthSplitting) return fileAll();
    runOnBothCores(fileAll, [&room] {
        for (std::span<FileRecord> records : room)
            populateForWriting(records.data(), records.size_bytes());
    });
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
    ScannedEntries scanned;
    if (readRecords(
            index, records, [&] { return std::optional(records); }, scanned))
        fileEntries(scanned, applications);
}

LayoutReading addManifestDatabaseFilesFromDirectory(const std::string& directory,
                                                    ApplicationMap& applications) {
    const std::string indexPath = appendingPathComponent(directory, ManifestMbdxName);
    if (!fileExists(indexPath)) return {};
    LayoutReading reading{std::string(ManifestMbdxName) + " + " + std::string(ManifestMbdbName)};
    auto index = readFile(indexPath);
    if (!index || !hasMagic(index->bytes(), manifestIndexMagic)) {
        reading.damaged("the index is not a manifest index");
        return reading;
    }
    // The database is opened only once the index has passed its test. It is read in file
    // order through a window rather than loaded whole, so a large backup's catalogue never
    // holds the records' other fields in memory.
    const std::string databasePath = appendingPathComponent(directory, ManifestMbdbName);
    std::optional<FileWindow> database = FileWindow::open(databasePath);
    auto magic = database ? database->read(0, manifestDatabaseMagic.size()) : std::nullopt;
    if (!magic || !hasMagic(*magic, manifestDatabaseMagic)) {
        reading.damaged("the records are not a manifest database");
        return reading;
    }
    DatabaseInFile records(std::move(*database));
    auto openAnother = [&]() -> std::optional<DatabaseInFile> {
        if (auto other = FileWindow::open(databasePath)) return DatabaseInFile(std::move(*other));
        return std::nullopt;
    };
    ScannedEntries scanned;
    if (!readRecords(index->bytes(), records, openAnother, scanned)) {
        reading.damaged("the records could not be read to their end");
        return reading;
    }
    // The index is let go before the records are made: their keys are copied already.
    *index = FileBytes();
    for (const ScannedEntry& entry : scanned.entries) {
        if (entry.domain == unreadRecord)
            ++reading.recordsSkipped;
        else if (entry.domain != noDomain)
            ++reading.recordsRead;
    }
    if (reading.recordsSkipped > 0)
        reading.damaged("the records end before " +
                        counted(reading.recordsSkipped, "record", "records") + " of the index");
    fileEntries(scanned, applications);
    return reading;
}

}  // namespace salvora
