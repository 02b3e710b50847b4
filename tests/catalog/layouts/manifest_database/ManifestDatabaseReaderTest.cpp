#include "catalog/layouts/manifest_database/ManifestDatabaseReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

#include "support/BackupWriter.h"
#include "support/CatalogInspection.h"
#include "support/TemporaryFolder.h"

namespace salvora {
namespace {
using test::applicationIn;
using test::BackupWriter;
using test::ManifestDatabaseBytes;
using test::ManifestEntry;

std::vector<std::byte> bytesFrom(std::initializer_list<unsigned> values) {
    std::vector<std::byte> bytes;
    for (unsigned value : values) bytes.push_back(static_cast<std::byte>(value));
    return bytes;
}

// What getString gives for a string it could read: the text, or no text.
std::optional<ManifestString> readString(ManifestString text) { return text; }

ManifestEntry entry(std::optional<std::string> domain, std::optional<std::string> path,
                    std::uint16_t mode = test::regularFileMode) {
    ManifestEntry result{std::vector<std::byte>(20, std::byte{0x11}), {}};
    result.record.domain = std::move(domain);
    result.record.path = std::move(path);
    result.record.mode = mode;
    return result;
}

ApplicationMap read(const BackupWriter& backup) {
    ApplicationMap applications;
    addManifestDatabaseFilesFromDirectory(backup.folder(), applications);
    return applications;
}

// Writes the entries as a backup's manifest database and reads it back.
ApplicationMap readEntries(const std::vector<ManifestEntry>& entries) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.writeManifestDatabase(test::manifestDatabaseBytes(entries));
    return read(backup);
}

TEST(ManifestDatabaseReader, ALargeDatabaseReadInTwoHalvesFilesEveryEntryInIndexOrder) {
    // Two domains of one application, in runs, so each half holds both and the second half's
    // files must follow the first's.
    constexpr std::uint32_t files = 30'000;
    std::vector<ManifestEntry> entries;
    std::vector<std::string> expected;
    for (std::uint32_t i = 0; i < files; ++i) {
        ManifestEntry& added = entries.emplace_back(entry(
            (i / 7) % 2 == 0 ? "AppDomain-a.one" : "AppDomain-b.one", "f" + std::to_string(i)));
        for (int byte = 0; byte < 4; ++byte)
            added.key[16 + byte] = static_cast<std::byte>(i >> (24 - 8 * byte));
        expected.push_back(test::hexDigits(added.key));
    }
    entries[files / 2].record.path.reset();

    const ApplicationMap applications = readEntries(entries);
    const ApplicationRecord& one = applicationIn(applications, "one");
    EXPECT_EQ(test::storedNames(one), expected);
    EXPECT_EQ(one.files[files / 2].fullpath(), std::nullopt);
    EXPECT_EQ(one.files.back().fullpath(), "f" + std::to_string(files - 1));
}

TEST(ManifestByteReaders, ReadBigEndianAndMovePast) {
    auto bytes = bytesFrom({0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    ByteCursor cursor(bytes);
    EXPECT_EQ(getUint8(cursor), 0x01u);
    EXPECT_EQ(getUint16(cursor), 0x0203u);
    EXPECT_EQ(getUint32(cursor), 0x04050607u);
    EXPECT_EQ(cursor.position(), 7u);
}

TEST(ManifestByteReaders, ReadPastTheEndFailsWithoutMoving) {
    auto bytes = bytesFrom({0xAA, 0xBB, 0xCC});
    ByteCursor cursor(bytes, 1);
    EXPECT_EQ(getUint32(cursor), std::nullopt);
    EXPECT_EQ(getUint64(cursor), std::nullopt);
    EXPECT_EQ(cursor.position(), 1u);
    EXPECT_EQ(getUint16(cursor), 0xBBCCu);
    EXPECT_EQ(getUint8(cursor), std::nullopt);
}

TEST(ManifestByteReaders, StringLengthsZeroAndAbsentDiffer) {
    auto bytes = bytesFrom({0x00, 0x00, 0xFF, 0xFF, 0x00, 0x02, 'h', 'i'});
    ByteCursor cursor(bytes);
    EXPECT_EQ(getString(cursor), readString(""));
    EXPECT_EQ(cursor.position(), 2u);
    EXPECT_EQ(getString(cursor), readString(std::nullopt));
    EXPECT_EQ(cursor.position(), 4u);
    EXPECT_EQ(getString(cursor), readString("hi"));
    EXPECT_EQ(cursor.remaining(), 0u);
}

TEST(ManifestByteReaders, StringRunningPastTheEndFailsWithoutMoving) {
    auto bytes = bytesFrom({0x00, 0x05, 'a', 'b'});
    ByteCursor cursor(bytes);
    EXPECT_EQ(getString(cursor), std::nullopt);
    EXPECT_EQ(cursor.position(), 0u);
    auto lengthOnly = bytesFrom({0x00});
    ByteCursor shortCursor(lengthOnly);
    EXPECT_EQ(getString(shortCursor), std::nullopt);
}

TEST(ManifestDatabaseReader, RegularFileIsFiledUnderTheLastPieceOfItsDomain) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    std::string stored =
        backup.addManifestDatabaseFile("AppDomain-com.example.notes", "Documents/a.txt", "hello");

    ApplicationMap applications = read(backup);
    ASSERT_EQ(test::applicationNames(applications), std::vector<std::string>{"notes"});
    const FileRecord& file = applicationIn(applications, "notes").files.at(0);
    EXPECT_EQ(file.name(), "1b6d848fb77f787b1d9435b1938dde93886508b6");
    EXPECT_EQ(file.name(), stored);
    EXPECT_EQ(file.fullpath(), "Documents/a.txt");
    EXPECT_EQ(file.oldVersion(), false);
}

TEST(ManifestDatabaseReader, FilesFollowIndexOrderAndDuplicateKeysAreKept) {
    ApplicationMap applications = readEntries({entry("AppDomain-com.example.notes", "b"),
                                               entry("AppDomain-com.example.notes", "a"),
                                               entry("AppDomain-com.example.notes", "b")});
    const ApplicationRecord& notes = applicationIn(applications, "notes");
    EXPECT_EQ(test::fullpaths(notes), (std::vector<std::optional<std::string>>{"b", "a", "b"}));
    EXPECT_EQ(notes.files[0].name(), notes.files[2].name());
}

// The index with its entries put in the given order; the records stay where they are.
void reorderIndex(ManifestDatabaseBytes& bytes, const std::vector<std::size_t>& order) {
    std::vector<std::byte> index(bytes.index.begin(), bytes.index.begin() + 10);
    for (std::size_t entry : order) {
        auto start =
            bytes.index.begin() + static_cast<std::ptrdiff_t>(test::indexEntryOffset(entry));
        index.insert(index.end(), start, start + test::indexEntrySize);
    }
    bytes.index = std::move(index);
}

TEST(ManifestDatabaseReader, FilesFollowIndexOrderWhereverTheirRecordsLie) {
    // Records written domain by domain, as devices write them, and longer together than the
    // part of the database held in memory at a time; the index in another order, as devices
    // keep it sorted by key.
    std::vector<ManifestEntry> entries;
    const std::size_t count = 3000;
    for (std::size_t i = 0; i < count; ++i) {
        std::string path = "Library/" + std::to_string(i) + "/" + std::string(600, 'x');
        entries.push_back(entry(i < count / 2 ? "AppDomain-com.a.first" : "HomeDomain", path));
        entries.back().key.assign(20, static_cast<std::byte>(i % 256));
    }
    ManifestDatabaseBytes bytes = test::manifestDatabaseBytes(entries);
    ASSERT_GT(bytes.database.size(), std::size_t{3} << 19);
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < count; ++i) order.push_back(i * 1447 % count);
    reorderIndex(bytes, order);

    std::map<std::string, std::vector<std::optional<std::string>>> expected;
    for (std::size_t i : order) {
        expected[i < count / 2 ? "first" : "HomeDomain"].push_back(entries[i].record.path);
    }
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.writeManifestDatabase(bytes);
    ApplicationMap fromFiles = read(backup);
    ApplicationMap inMemory;
    addManifestDatabaseFiles(bytes.index, bytes.database, inMemory);
    for (const ApplicationMap* applications : {&fromFiles, &inMemory}) {
        ASSERT_EQ(applications->size(), 2u);
        for (const auto& [name, paths] : expected)
            EXPECT_EQ(test::fullpaths(applicationIn(*applications, name)), paths) << name;
        const ApplicationRecord& first = applicationIn(*applications, "first");
        EXPECT_EQ(first.files.front().name(), test::hexDigits(entries[order.front()].key));
    }
}

TEST(ManifestDatabaseReader, KeyBytesGiveFortyLowercaseDigitsLeadingZerosKept) {
    ManifestEntry item = entry("HomeDomain", "x");
    item.key = bytesFrom({0x00, 0x0A, 0xAB, 0xFF, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00,
                          0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01});
    ApplicationMap applications = readEntries({item});
    EXPECT_EQ(applicationIn(applications, "HomeDomain").files.at(0).name(),
              "000aabff10000000000000000000000000000001");
}

TEST(ManifestDatabaseReader, DomainsWithTheSameLastPieceShareOneApplication) {
    ApplicationMap applications =
        readEntries({entry("AppDomain-com.a.notes", "first"), entry("HomeDomain", "between"),
                     entry("AppDomain-org.b.notes", "second")});
    EXPECT_EQ(test::applicationNames(applications),
              (std::vector<std::string>{"HomeDomain", "notes"}));
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "notes")),
              (std::vector<std::optional<std::string>>{"first", "second"}));
}

TEST(ManifestDatabaseReader, StringsOfLengthZeroAreEmptyAndAbsentOnesFileUnderNothing) {
    ApplicationMap applications = readEntries(
        {entry("", ""), entry(std::nullopt, "no domain"), entry("HomeDomain", std::nullopt)});
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "")),
              (std::vector<std::optional<std::string>>{"", "no domain"}));
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "HomeDomain")),
              (std::vector<std::optional<std::string>>{std::nullopt}));
}

TEST(ManifestDatabaseReader, TextThatIsNotUtf8CountsAsAbsent) {
    ApplicationMap applications = readEntries({entry("AppDomain-com.example.\xFF", "Documents/ok"),
                                               entry("HomeDomain", "Documents/\xC3(")});
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "")),
              (std::vector<std::optional<std::string>>{"Documents/ok"}));
    EXPECT_EQ(test::fullpaths(applicationIn(applications, "HomeDomain")),
              (std::vector<std::optional<std::string>>{std::nullopt}));
}

struct ModeCase {
    std::uint16_t mode;
    bool read;
};

class ManifestDatabaseModes : public testing::TestWithParam<ModeCase> {};

TEST_P(ManifestDatabaseModes, OnlyTheTopFourBitsDecide) {
    ApplicationMap applications = readEntries({entry("HomeDomain", "item", GetParam().mode)});
    EXPECT_EQ(test::fileCount(applications), GetParam().read ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Modes, ManifestDatabaseModes,
                         testing::Values(ModeCase{0100644, true}, ModeCase{0x8000, true},
                                         ModeCase{0x8FFF, true}, ModeCase{040755, false},
                                         ModeCase{0120777, false}, ModeCase{0x0000, false},
                                         ModeCase{0x9000, false}, ModeCase{0xC1A4, false},
                                         ModeCase{0x7FFF, false}));

TEST(ManifestDatabaseReader, MissingIndexOrDatabaseAddsNothing) {
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.addManifestDatabaseFile("HomeDomain", "a", "contents");
    std::filesystem::remove(backup / "Manifest.mbdb");
    EXPECT_TRUE(read(backup).empty());

    backup.addManifestDatabaseFile("HomeDomain", "b", "contents");
    std::filesystem::remove(backup / "Manifest.mbdx");
    EXPECT_TRUE(read(backup).empty());
}

// Damage done to a database of three entries ("a", "b", "c", all under one application),
// and the paths that are still read.
struct DamageCase {
    std::string name;
    std::function<void(ManifestDatabaseBytes&)> damage;
    std::vector<std::optional<std::string>> kept;
};

std::size_t recordStart(const ManifestDatabaseBytes& bytes, std::size_t entry) {
    ByteCursor cursor(bytes.index, test::indexEntryOffset(entry) + test::entryRecordOffsetField);
    return 6 + *getUint32(cursor);
}

void setRecordOffset(ManifestDatabaseBytes& bytes, std::size_t entry, std::uint64_t offset) {
    test::putBigEndian(bytes.index, test::indexEntryOffset(entry) + test::entryRecordOffsetField,
                       offset, 4);
}

void setMagic(std::vector<std::byte>& bytes, std::string_view magic) {
    std::copy_n(test::bytesOf(magic).begin(), magic.size(), bytes.begin());
}

void PrintTo(const DamageCase& damage, std::ostream* out) { *out << damage.name; }

class ManifestDatabaseDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(ManifestDatabaseDamage, NeverReadsPastEitherFileAndKeepsWhatIsWhole) {
    ManifestDatabaseBytes bytes =
        test::manifestDatabaseBytes({entry("AppDomain-x.app", "a"), entry("AppDomain-x.app", "b"),
                                     entry("AppDomain-x.app", "c")});
    GetParam().damage(bytes);
    test::TemporaryFolder folder;
    BackupWriter backup(folder.path());
    backup.writeManifestDatabase(bytes);
    ApplicationMap applications = read(backup);
    std::vector<std::optional<std::string>> kept;
    if (!applications.empty()) kept = test::fullpaths(applicationIn(applications, "app"));
    EXPECT_EQ(kept, GetParam().kept);
}

const std::vector<std::optional<std::string>> all{"a", "b", "c"};
const std::vector<std::optional<std::string>> none{};

INSTANTIATE_TEST_SUITE_P(
    Damage, ManifestDatabaseDamage,
    testing::Values(
        DamageCase{"Intact", [](auto&) {}, all},
        DamageCase{"CountZero", [](auto& b) { test::putBigEndian(b.index, 6, 0, 4); }, none},
        DamageCase{"CountBeyondTheEntries",
                   [](auto& b) { test::putBigEndian(b.index, 6, 1000, 4); }, all},
        DamageCase{"CountAtMaximum", [](auto& b) { test::putBigEndian(b.index, 6, 0xFFFFFFFF, 4); },
                   all},
        DamageCase{"IndexCutInsideTheLastEntry",
                   [](auto& b) { b.index.resize(test::indexEntryOffset(2) + 25); },
                   {"a", "b"}},
        DamageCase{"IndexCutInsideTheCount", [](auto& b) { b.index.resize(9); }, none},
        DamageCase{"IndexOnlyMagic", [](auto& b) { b.index.resize(6); }, none},
        DamageCase{"IndexEmpty", [](auto& b) { b.index.clear(); }, none},
        DamageCase{"IndexShorterThanMagic", [](auto& b) { b.index.resize(5); }, none},
        DamageCase{"DatabaseEmpty", [](auto& b) { b.database.clear(); }, none},
        DamageCase{"DatabaseOnlyMagic", [](auto& b) { b.database.resize(6); }, none},
        DamageCase{"IndexMagicOtherVersion", [](auto& b) { setMagic(b.index, "mbdx\x03"); }, none},
        DamageCase{"DatabaseMagicLastByte",
                   [](auto& b) { setMagic(b.database, std::string_view("mbdb\x05\x01", 6)); },
                   none},
        DamageCase{"IndexMagicInCapitals", [](auto& b) { setMagic(b.index, "MBDX"); }, none},
        DamageCase{"RecordOffsetAtTheEnd",
                   [](auto& b) { setRecordOffset(b, 1, b.database.size() - 6); },
                   {"a", "c"}},
        DamageCase{"RecordOffsetAtMaximum",
                   [](auto& b) { setRecordOffset(b, 1, 0xFFFFFFFF); },
                   {"a", "c"}},
        DamageCase{"RecordOffsetOnTheLastByte",
                   [](auto& b) { setRecordOffset(b, 1, b.database.size() - 7); },
                   {"a", "c"}},
        DamageCase{"DomainRunsPastTheEnd",
                   [](auto& b) { b.database.resize(recordStart(b, 2) + 5); },
                   {"a", "b"}},
        DamageCase{"PathRunsPastTheEnd",
                   [](auto& b) {
                       b.database.resize(recordStart(b, 2) + 2 +
                                         std::string("AppDomain-x.app").size() + 2);
                   },
                   {"a", "b"}},
        DamageCase{"TwoEntriesShareARecord",
                   [](auto& b) { setRecordOffset(b, 2, recordStart(b, 0) - 6); },
                   {"a", "b", "a"}},
        DamageCase{"DomainLengthBeyondTheEnd",
                   [](auto& b) { test::putBigEndian(b.database, recordStart(b, 1), 0xFFFE, 2); },
                   {"a", "c"}}),
    [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

}  // namespace
}  // namespace salvora
