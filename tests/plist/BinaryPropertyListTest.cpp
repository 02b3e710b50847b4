// The in-place reading of binary archives, held to libplist's decoding of the same bytes.
#include <gtest/gtest.h>

#include <functional>

#include "catalog/layouts/manifest_db/ArchivedFileInfo.h"
#include "plist/BinaryPropertyList.h"
#include "plist/PropertyList.h"
#include "support/ArchivedFileBlob.h"
#include "support/ArchivedFileExamples.h"
#include "support/ByteWriter.h"
#include "support/CraftedPropertyLists.h"

namespace salvora {

// Readable failures; found by gtest in the namespace of the type.
void PrintTo(const ArchivedFileInfo& info, std::ostream* out) {
    auto number = [](const auto& value) { return value ? std::to_string(*value) : "absent"; };
    *out << "size " << number(info.size) << ", lastModified " << number(info.lastModified)
         << ", protectionClass " << number(info.protectionClass) << ", key "
         << (info.encryptionKey ? std::to_string(info.encryptionKey->size()) + " bytes" : "absent");
}

namespace {
using test::ArchivedFileFields;
using test::ByteWriter;
using test::PlistFormat;
using test::PlistValue;
using test::RawBinaryPlist;

struct ArchiveCase {
    std::string name;
    std::function<PlistValue()> archive;
};
void PrintTo(const ArchiveCase& archive, std::ostream* out) { *out << archive.name; }

PlistValue withFields(std::function<void(ArchivedFileFields&)> change) {
    ArchivedFileFields fields = test::fullArchivedFileFields();
    change(fields);
    return test::archivedFilePlist(fields);
}

class SoundArchives : public testing::TestWithParam<ArchiveCase> {};

// Whatever widths libplist chose for integers, counts, references and offsets, the values read
// in place are libplist's.
TEST_P(SoundArchives, ReadAsLibplistReadsThem) {
    const std::vector<std::byte> binary = GetParam().archive().encode(PlistFormat::Binary);
    EXPECT_EQ(readArchivedFileInfo(binary), readArchivedFileInfoWithLibplist(binary));
}

PlistValue withManyObjects() {
    // More than 255 objects: references and offsets two bytes wide, counts in extended form.
    PlistValue archive = test::archivedFilePlist(test::fullArchivedFileFields());
    PlistValue file = test::archivedFilePlist(test::fullArchivedFileFields());
    PlistValue objects = PlistValue::array({PlistValue::string("$null")});
    PlistValue mbFile = PlistValue::dictionary({{"Size", PlistValue::integer(77)}});
    for (int extra = 0; extra < 40; ++extra)
        mbFile.set("Extra" + std::to_string(extra), PlistValue::string(std::to_string(extra)));
    objects.append(mbFile);
    for (int filler = 0; filler < 400; ++filler)
        objects.append(PlistValue::string("filler " + std::to_string(filler)));
    archive.set("$objects", objects);
    return archive;
}

INSTANTIATE_TEST_SUITE_P(
    Archives, SoundArchives,
    testing::Values(
        ArchiveCase{"Full", [] { return test::archivedFilePlist(test::fullArchivedFileFields()); }},
        ArchiveCase{"Empty", [] { return test::archivedFilePlist({}); }},
        ArchiveCase{"OneByteValues", [] { return withFields([](auto& f) { f.size = 255; }); }},
        ArchiveCase{"TwoByteValues", [] { return withFields([](auto& f) { f.size = 256; }); }},
        ArchiveCase{"FourByteValues", [] { return withFields([](auto& f) { f.size = 65536; }); }},
        ArchiveCase{"EightByteValues",
                    [] { return withFields([](auto& f) { f.size = 1ull << 32; }); }},
        ArchiveCase{"LargestValue",
                    [] { return withFields([](auto& f) { f.lastModified = UINT64_MAX; }); }},
        ArchiveCase{"LongKey",
                    [] {
                        return withFields([](auto& f) {
                            f.encryptionKey = std::vector<std::byte>(300, std::byte{1});
                        });
                    }},
        ArchiveCase{"EmptyKey",
                    [] { return withFields([](auto& f) { f.encryptionKey.emplace(); }); }},
        ArchiveCase{"ManyObjects", withManyObjects},
        ArchiveCase{
            "RootIsNoUid",
            [] {
                PlistValue archive = test::archivedFilePlist(test::fullArchivedFileFields());
                archive.set("$top", PlistValue::dictionary({{"root", PlistValue::integer(1)}}));
                return archive;
            }},
        ArchiveCase{"RootBeyondTheObjects",
                    [] {
                        PlistValue archive =
                            test::archivedFilePlist(test::fullArchivedFileFields());
                        archive.set("$top", PlistValue::dictionary({{"root", PlistValue::uid(9)}}));
                        return archive;
                    }},
        ArchiveCase{"ValuesOfOtherKinds",
                    [] {
                        PlistValue archive = test::archivedFilePlist({});
                        archive.set(
                            "$objects",
                            PlistValue::array({PlistValue::string("$null"),
                                               PlistValue::dictionary(
                                                   {{"Size", PlistValue::string("4096")},
                                                    {"LastModified", PlistValue::boolean(true)},
                                                    {"ProtectionClass", PlistValue::date(3)},
                                                    {"EncryptionKey", PlistValue::uid(0)}})}));
                        return archive;
                    }},
        ArchiveCase{"NotAnArchive", [] { return PlistValue::array({PlistValue::integer(1)}); }}),
    [](const testing::TestParamInfo<ArchiveCase>& info) { return info.param.name; });

// A binary list put together object by object, for what libplist never writes: one-byte
// offsets and references, the trailer last.
std::vector<std::byte> handMadeList(const std::vector<std::vector<std::byte>>& objects,
                                    std::uint8_t root) {
    RawBinaryPlist list(1, 1);
    for (const auto& object : objects) list.add(object);
    return list.encode(root);
}

std::vector<std::byte> ascii(std::string_view text) {
    ByteWriter object;
    object.uint8(static_cast<std::uint8_t>(0x50 | text.size())).text(text);
    return object.take();
}

std::vector<std::byte> utf16(std::string_view text) {
    ByteWriter object;
    object.uint8(static_cast<std::uint8_t>(0x60 | text.size()));
    for (char c : text) object.uint16(static_cast<std::uint8_t>(c));
    return object.take();
}

std::vector<std::byte> bytes(std::initializer_list<unsigned> values) {
    std::vector<std::byte> result;
    for (unsigned value : values) result.push_back(static_cast<std::byte>(value));
    return result;
}

// Objects 0 to 4 of an archive whose MBFile (object 5) holds only "Size" (object 6, 4096):
// 0 the root {"$top": 3, "$objects": 4}, 1 "$top", 2 "$objects", 3 {"root": UID 1},
// 4 ["$null", MBFile]; then 7 "$null", 8 "root", 9 UID 1.
std::vector<std::vector<std::byte>> archiveObjects(std::vector<std::byte> sizeKey) {
    return {bytes({0xD2, 1, 2, 3, 4}), ascii("$top"),       ascii("$objects"),
            bytes({0xD1, 8, 9}),       bytes({0xA2, 7, 5}), bytes({0xD1, 10, 6}),
            bytes({0x11, 0x10, 0x00}), ascii("$null"),      ascii("root"),
            bytes({0x80, 0x01}),       std::move(sizeKey)};
}

TEST(BinaryArchive, KeysWrittenInUtf16AreFoundLikeAsciiOnes) {
    for (const auto& key : {ascii("Size"), utf16("Size")}) {
        const auto list = handMadeList(archiveObjects(key), 0);
        EXPECT_EQ(readArchivedFileInfo(list).size, 4096u);
        EXPECT_EQ(readArchivedFileInfo(list), readArchivedFileInfoWithLibplist(list));
    }
    EXPECT_EQ(readArchivedFileInfo(handMadeList(archiveObjects(utf16("Sizf")), 0)).size,
              std::nullopt);
}

// Damage to the hand-made archive, and whether "Size" can still be read.
struct DamageCase {
    std::string name;
    std::function<void(std::vector<std::byte>&)> damage;
    bool sizeRead;
};
void PrintTo(const DamageCase& damage, std::ostream* out) { *out << damage.name; }

class DamagedBinaryArchive : public testing::TestWithParam<DamageCase> {};

TEST_P(DamagedBinaryArchive, ReadsOnlyWhatLiesInsideAndIsSound) {
    std::vector<std::byte> list = handMadeList(archiveObjects(ascii("Size")), 0);
    GetParam().damage(list);
    const ArchivedFileInfo info = readArchivedFileInfo(list);
    EXPECT_EQ(info.size.has_value(), GetParam().sizeRead);
    EXPECT_EQ(info.encryptionKey, std::nullopt);
}

// Positions in the hand-made archive: the trailer is the last 32 bytes.
std::size_t trailer(const std::vector<std::byte>& list) { return list.size() - 32; }
std::size_t tableStart(const std::vector<std::byte>& list) {
    return trailer(list) - 11;  // one byte per object
}
void setTrailer(std::vector<std::byte>& list, std::size_t field, std::uint64_t value,
                std::size_t width) {
    test::putBigEndian(list, trailer(list) + field, value, width);
}
// Points object `number` at `offset`.
void moveObject(std::vector<std::byte>& list, std::size_t number, std::uint8_t offset) {
    list[tableStart(list) + number] = std::byte{offset};
}
std::size_t offsetOf(const std::vector<std::byte>& list, std::size_t number) {
    return std::to_integer<std::size_t>(list[tableStart(list) + number]);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedBinaryArchive,
    testing::Values(
        DamageCase{"Intact", [](auto&) {}, true},
        DamageCase{"OtherVersion", [](auto& l) { l[7] = std::byte{'1'}; }, false},
        DamageCase{"ShorterThanHeaderAndTrailer", [](auto& l) { l.resize(39); }, false},
        DamageCase{"CutBeforeTheTrailer", [](auto& l) { l.erase(l.end() - 33); }, false},
        DamageCase{"OffsetSizeZero", [](auto& l) { setTrailer(l, 6, 0, 1); }, false},
        DamageCase{"OffsetSizeNine", [](auto& l) { setTrailer(l, 6, 9, 1); }, false},
        DamageCase{"ReferenceSizeZero", [](auto& l) { setTrailer(l, 7, 0, 1); }, false},
        DamageCase{"NoObjects", [](auto& l) { setTrailer(l, 8, 0, 8); }, false},
        DamageCase{"MoreObjectsThanTheTableHolds", [](auto& l) { setTrailer(l, 8, 12, 8); }, false},
        DamageCase{"ObjectCountOverflowingTheTable",
                   [](auto& l) { setTrailer(l, 8, UINT64_MAX / 2 + 2, 8); }, false},
        DamageCase{"RootBeyondTheObjects", [](auto& l) { setTrailer(l, 16, 11, 8); }, false},
        DamageCase{"TableInTheHeader", [](auto& l) { setTrailer(l, 24, 3, 8); }, false},
        DamageCase{"TableInTheTrailer", [](auto& l) { setTrailer(l, 24, trailer(l) + 1, 8); },
                   false},
        DamageCase{"TableAtMaximum", [](auto& l) { setTrailer(l, 24, UINT64_MAX, 8); }, false},
        DamageCase{"ObjectInTheTable", [](auto& l) { moveObject(l, 6, tableStart(l)); }, false},
        DamageCase{"IntegerWiderThanSixteenBytes",
                   [](auto& l) { l[offsetOf(l, 6)] = std::byte{0x15}; }, false},
        DamageCase{"StringRunningIntoTheTable",
                   [](auto& l) { l[offsetOf(l, 10)] = std::byte{0x58}; }, false},
        DamageCase{"ReferenceToNoObject", [](auto& l) { l[offsetOf(l, 5) + 2] = std::byte{11}; },
                   false},
        DamageCase{"CountRunningIntoTheTable", [](auto& l) { l[offsetOf(l, 5)] = std::byte{0xDE}; },
                   false},
        DamageCase{"ExtendedCountThatIsNoInteger",
                   [](auto& l) { l[offsetOf(l, 5)] = std::byte{0xDF}; }, false},
        DamageCase{"KeyThatIsNoString", [](auto& l) { l[offsetOf(l, 5) + 1] = std::byte{6}; },
                   false},
        DamageCase{"ObjectsReferringToThemselves",
                   [](auto& l) { l[offsetOf(l, 4) + 2] = std::byte{4}; }, false},
        DamageCase{"UnrelatedObjectDamaged", [](auto& l) { l[offsetOf(l, 7)] = std::byte{0x7F}; },
                   true}),
    [](const testing::TestParamInfo<DamageCase>& info) { return info.param.name; });

// Every shortening and every one-byte change of a real archive: nothing is read from outside
// it, and whatever libplist still decodes is read the same.
TEST(BinaryArchive, EveryCutAndEveryChangedByteAgreesWithLibplistWhereItDecodes) {
    const std::vector<std::byte> intact = test::archivedFileBlob(test::fullArchivedFileFields());
    std::size_t compared = 0;
    auto check = [&](const std::vector<std::byte>& blob) {
        const ArchivedFileInfo inPlace = readArchivedFileInfo(blob);
        if (PropertyList::fromData(blob).isPresent()) {
            ++compared;
            EXPECT_EQ(inPlace, readArchivedFileInfoWithLibplist(blob));
        }
    };
    for (std::size_t length = 0; length < intact.size(); ++length)
        check(std::vector<std::byte>(intact.begin(), intact.begin() + std::ptrdiff_t(length)));
    for (std::size_t at = 0; at < intact.size(); ++at) {
        for (unsigned value : {0x00u, 0x0Fu, 0x5Fu, 0xFFu}) {
            std::vector<std::byte> changed = intact;
            changed[at] = static_cast<std::byte>(value);
            check(changed);
        }
    }
    EXPECT_GT(compared, intact.size());
}

class StringValue : public testing::TestWithParam<std::string> {};

// Strings as libplist writes them (ASCII, or UTF-16 with surrogate pairs beyond the first
// plane) read back as the UTF-8 they were.
TEST_P(StringValue, ReadsAsTheTextLibplistWrote) {
    const std::vector<std::byte> list =
        PlistValue::dictionary({{"itemName", PlistValue::string(GetParam())}})
            .encode(PlistFormat::Binary);
    EXPECT_EQ(BinaryPropertyList::open(list)->root()["itemName"].text(), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Texts, StringValue,
                         testing::Values("", "Maps", "Caf\u00e9 \u5730\u56fe",
                                         "Notes \U0001F4DD and \U0001F600"));

TEST(BinaryArchive, HalfASurrogatePairIsNoText) {
    auto utf16Units = [](std::initializer_list<std::uint16_t> units) {
        ByteWriter object;
        object.uint8(static_cast<std::uint8_t>(0x60 | units.size()));
        for (std::uint16_t unit : units) object.uint16(unit);
        return object.take();
    };
    auto textOf = [](std::vector<std::byte> string) {
        return BinaryPropertyList::open(handMadeList({std::move(string)}, 0))->root().text();
    };
    EXPECT_EQ(textOf(utf16Units({0xD83D, 0xDE00})), "\U0001F600");
    EXPECT_EQ(textOf(utf16Units({0xD83D})), std::nullopt);
    EXPECT_EQ(textOf(utf16Units({0xD83D, 0x0041})), std::nullopt);
    EXPECT_EQ(textOf(utf16Units({0xDE00, 0xD83D})), std::nullopt);
    EXPECT_EQ(textOf(bytes({0x10, 0x05})), std::nullopt);  // an integer
}

}  // namespace
}  // namespace salvora
