#include "catalog/layouts/manifest_db/SqliteTablePages.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "foundation/ByteCursor.h"
#include "sqlite/SqliteFileHeader.h"

namespace salvora {
namespace {

constexpr std::size_t fileHeaderSize = 100;
constexpr std::uint64_t utf8Encoding = 1;
constexpr std::uint64_t interiorTablePage = 0x05;
constexpr std::uint64_t leafTablePage = 0x0D;
// SQLite takes a deeper tree for a damaged one; a loop of pages would otherwise never end.
constexpr std::size_t deepestTree = 20;
// Leaves mostly lie in rowid order in the file, and are then read in large pieces; where more
// than one in this many lies before the one read last, each is read alone.
constexpr std::size_t leavesPerStepBack = 64;

// SQLite's variable-length integer: one to nine bytes, seven bits of each, high bits first,
// and all eight bits of a ninth. A row has a dozen of them, so they are read from the bytes
// left rather than through a checked read each.
std::optional<std::uint64_t> readVarint(ByteCursor& cursor) {
    const std::span<const std::byte> rest = cursor.whole().subspan(cursor.position());
    const std::size_t available = std::min<std::size_t>(rest.size(), 9);
    std::uint64_t value = 0;
    for (std::size_t index = 0; index < available; ++index) {
        const auto byte = std::to_integer<std::uint64_t>(rest[index]);
        if (index == 8) {
            cursor.skip(9);
            return (value << 8) | byte;
        }
        value = (value << 7) | (byte & 0x7F);
        if ((byte & 0x80) == 0) {
            cursor.skip(index + 1);
            return value;
        }
    }
    return std::nullopt;
}

struct PageHeader {
    std::uint64_t type = 0;
    std::size_t cells = 0;
    std::uint32_t rightmostChild = 0;  // of an interior page
    std::size_t cellPointers = 0;      // where the cells' two-byte offsets begin
};

std::optional<PageHeader> readPageHeader(std::span<const std::byte> page, std::uint32_t number) {
    // The first page begins with the file's header.
    ByteCursor cursor(page, number == 1 ? fileHeaderSize : 0);
    PageHeader header;
    const std::optional<std::uint64_t> type = cursor.readBigEndian(1);
    if (!type || (*type != interiorTablePage && *type != leafTablePage) || !cursor.skip(2))
        return std::nullopt;
    header.type = *type;
    const std::optional<std::uint64_t> cells = cursor.readBigEndian(2);
    if (!cells || !cursor.skip(3)) return std::nullopt;
    header.cells = static_cast<std::size_t>(*cells);
    if (header.type == interiorTablePage) {
        const std::optional<std::uint64_t> child = cursor.readBigEndian(4);
        if (!child) return std::nullopt;
        header.rightmostChild = static_cast<std::uint32_t>(*child);
    }
    header.cellPointers = cursor.position();
    if (!cursor.skip(2 * header.cells)) return std::nullopt;
    return header;
}

// The cell's bytes, from its offset in the page's pointer array to the page's end.
std::optional<ByteCursor> cellAt(std::span<const std::byte> page, const PageHeader& header,
                                 std::size_t cell) {
    ByteCursor pointer(page, header.cellPointers + 2 * cell);
    const std::optional<std::uint64_t> offset = pointer.readBigEndian(2);
    if (!offset || *offset >= page.size()) return std::nullopt;
    return ByteCursor(page, static_cast<std::size_t>(*offset));
}

// How much of a row's payload its leaf cell holds; the rest lies in overflow pages.
std::size_t localPayloadSize(std::uint64_t payload, std::size_t usable) {
    const std::size_t maxLocal = usable - 35;
    if (payload <= maxLocal) return static_cast<std::size_t>(payload);
    const std::size_t minLocal = (usable - 12) * 32 / 255 - 23;
    const std::size_t local =
        minLocal + static_cast<std::size_t>((payload - minLocal) % (usable - 4));
    return local <= maxLocal ? local : minLocal;
}

// The size of a value of the serial type; absent for the two types kept for SQLite's own use.
std::optional<std::uint64_t> valueSize(std::uint64_t type) {
    static constexpr std::array<std::uint64_t, 12> sizes{0, 1, 2, 3, 4, 6, 8, 8, 0, 0, 0, 0};
    if (type == 10 || type == 11) return std::nullopt;
    return type < 12 ? sizes[type] : (type - 12) / 2;
}

std::optional<StoredValue> decodeValue(std::uint64_t type, std::span<const std::byte> bytes) {
    StoredValue value;
    ByteCursor cursor(bytes);
    if (type == 0) return value;
    if (type == 8 || type == 9) {
        value.kind = StoredValue::Kind::Integer;
        value.integer = type == 9 ? 1 : 0;
    } else if (type == 7) {
        value.kind = StoredValue::Kind::Real;
        value.real = std::bit_cast<double>(*cursor.readBigEndian(8));
    } else if (type < 7) {
        const std::size_t width = bytes.size();
        std::uint64_t raw = *cursor.readBigEndian(width);
        // Two's complement in `width` bytes.
        if (width < 8 && (raw >> (8 * width - 1)) != 0) raw |= ~std::uint64_t{0} << (8 * width);
        value.kind = StoredValue::Kind::Integer;
        value.integer = static_cast<std::int64_t>(raw);
    } else {
        value.kind = type % 2 == 0 ? StoredValue::Kind::Blob : StoredValue::Kind::Text;
        value.bytes = {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
    }
    return value;
}

enum class RecordRead { Read, Short, Damaged };

// Decodes the values of `columns` from the first bytes of a record of `payloadSize` bytes;
// Short, with the bytes it takes in `needed`, when they reach past `bytes`.
RecordRead decodeRecord(std::span<const std::byte> bytes, std::uint64_t payloadSize,
                        std::span<const std::size_t> columns, std::span<StoredValue> values,
                        std::size_t& needed) {
    ByteCursor cursor(bytes);
    const std::optional<std::uint64_t> headerSize = readVarint(cursor);
    if (!headerSize) {
        if (bytes.size() >= payloadSize) return RecordRead::Damaged;
        needed = static_cast<std::size_t>(std::min<std::uint64_t>(payloadSize, bytes.size() + 9));
        return RecordRead::Short;
    }
    if (*headerSize > payloadSize || *headerSize < cursor.position()) return RecordRead::Damaged;
    if (*headerSize > bytes.size()) {
        needed = static_cast<std::size_t>(*headerSize);
        return RecordRead::Short;
    }
    ByteCursor types(bytes.first(static_cast<std::size_t>(*headerSize)), cursor.position());
    const std::size_t lastColumn = *std::max_element(columns.begin(), columns.end());
    std::array<std::pair<std::uint64_t, std::uint64_t>, 64> found{};  // type and start
    if (lastColumn >= found.size()) return RecordRead::Damaged;
    std::uint64_t start = *headerSize;
    for (std::size_t column = 0; column <= lastColumn; ++column) {
        const std::optional<std::uint64_t> type = readVarint(types);
        if (!type) return RecordRead::Damaged;  // the row lacks the column
        const std::optional<std::uint64_t> size = valueSize(*type);
        if (!size || *size > payloadSize - start) return RecordRead::Damaged;
        found[column] = {*type, start};
        start += *size;
    }
    // The columns after the last one read count too: with the header read to its end, the
    // values must fill the payload exactly, or SQLite calls the record corrupt.
    std::uint64_t end = start;
    while (types.remaining() > 0) {
        const std::optional<std::uint64_t> type = readVarint(types);
        const std::optional<std::uint64_t> size = type ? valueSize(*type) : std::nullopt;
        if (!size || *size > payloadSize - end) return RecordRead::Damaged;
        end += *size;
    }
    if (end != payloadSize) return RecordRead::Damaged;

    if (start > bytes.size()) {
        needed = static_cast<std::size_t>(start);
        return RecordRead::Short;
    }
    for (std::size_t index = 0; index < columns.size(); ++index) {
        const auto [type, at] = found[columns[index]];
        const auto size = static_cast<std::size_t>(*valueSize(type));
        std::optional<StoredValue> value =
            decodeValue(type, bytes.subspan(static_cast<std::size_t>(at), size));
        if (!value) return RecordRead::Damaged;
        values[index] = *value;
    }
    return RecordRead::Read;
}

}  // namespace

std::optional<SqliteTablePages> SqliteTablePages::open(const std::string& path) {
    std::optional<FileWindow> header = FileWindow::open(path, fileHeaderSize);
    if (!header) return std::nullopt;
    const std::optional<std::span<const std::byte>> bytes = header->read(0, fileHeaderSize);
    if (!bytes || !startsWithSQLiteHeader(*bytes)) return std::nullopt;
    ByteCursor cursor(*bytes, 16);
    const std::uint64_t storedPageSize = *cursor.readBigEndian(2);
    const std::size_t pageSize = storedPageSize == 1 ? 65536 : storedPageSize;
    cursor.seek(20);
    const std::uint64_t reserved = *cursor.readBigEndian(1);
    cursor.seek(24);
    const std::uint64_t changeCounter = *cursor.readBigEndian(4);
    const std::uint64_t headerPages = *cursor.readBigEndian(4);
    cursor.seek(56);
    const std::uint64_t encoding = *cursor.readBigEndian(4);
    cursor.seek(92);
    const std::uint64_t validFor = *cursor.readBigEndian(4);
    if (pageSize < 512 || pageSize > 65536 || !std::has_single_bit(pageSize) ||
        pageSize - reserved < 480 || encoding != utf8Encoding)
        return std::nullopt;
    std::optional<FileWindow> pages = FileWindow::open(path, pageSize);
    if (!pages) return std::nullopt;
    // SQLite takes the header's page count where the file was last written by a version that
    // keeps it (the version it is valid for matches the change counter): pages past it are no
    // part of the database, and a count past the file's end is a damaged file for SQLite to say.
    std::uint64_t pageCount = pages->size() / pageSize;
    if (headerPages != 0 && changeCounter == validFor) {
        if (headerPages > pageCount) return std::nullopt;
        pageCount = headerPages;
    }
    return SqliteTablePages(path, std::move(*pages), pageSize,
                            pageSize - static_cast<std::size_t>(reserved), pageCount);
}

std::optional<std::span<const std::byte>> SqliteTablePages::page(FileWindow& file,
                                                                 std::uint32_t number) {
    if (number == 0 || number > pageCount()) return std::nullopt;
    const std::optional<std::span<const std::byte>> bytes =
        file.read(std::uint64_t{number - 1} * pageSize_, pageSize_);
    if (!bytes) return std::nullopt;
    return bytes->first(usableSize_);
}

std::optional<std::size_t> SqliteTablePages::leafDepth(std::uint32_t rootPage) {
    std::uint32_t number = rootPage;
    for (std::size_t depth = 1; depth <= deepestTree; ++depth) {
        const std::optional<std::span<const std::byte>> bytes = page(pages_, number);
        const std::optional<PageHeader> header =
            bytes ? readPageHeader(*bytes, number) : std::nullopt;
        if (!header) return std::nullopt;
        if (header->type == leafTablePage) return depth;
        std::optional<ByteCursor> first = cellAt(*bytes, *header, 0);
        const std::optional<std::uint64_t> child = header->cells == 0 ? header->rightmostChild
                                                   : first            ? first->readBigEndian(4)
                                                                      : std::nullopt;
        if (!child) return std::nullopt;
        number = static_cast<std::uint32_t>(*child);
    }
    return std::nullopt;
}

std::optional<std::vector<std::uint32_t>> SqliteTablePages::leafPages(std::uint32_t rootPage) {
    // Every leaf of the tree lies at the same depth, so the leaves are known without reading
    // them; readRows finds one that is no leaf.
    const std::optional<std::size_t> leavesDepth = leafDepth(rootPage);
    if (!leavesDepth) return std::nullopt;
    std::vector<std::uint32_t> leaves;
    std::vector<bool> seen(static_cast<std::size_t>(pageCount()) + 1);
    // Pages still to visit, last first, with their depth in the tree.
    std::vector<std::pair<std::uint32_t, std::size_t>> pending{{rootPage, 1}};
    while (!pending.empty()) {
        const auto [number, depth] = pending.back();
        pending.pop_back();
        if (number == 0 || number >= seen.size() || seen[number]) return std::nullopt;
        seen[number] = true;
        if (depth == *leavesDepth) {
            leaves.push_back(number);
            continue;
        }
        const std::optional<std::span<const std::byte>> bytes = page(pages_, number);
        const std::optional<PageHeader> header =
            bytes ? readPageHeader(*bytes, number) : std::nullopt;
        // SQLite refuses an interior page without cells, but for the first page as the root.
        if (!header || header->type != interiorTablePage || (header->cells == 0 && number != 1))
            return std::nullopt;
        pending.emplace_back(header->rightmostChild, depth + 1);
        const std::size_t firstChild = pending.size();
        for (std::size_t cell = 0; cell < header->cells; ++cell) {
            std::optional<ByteCursor> cursor = cellAt(*bytes, *header, cell);
            const std::optional<std::uint64_t> child =
                cursor ? cursor->readBigEndian(4) : std::nullopt;
            if (!child) return std::nullopt;
            pending.emplace_back(static_cast<std::uint32_t>(*child), depth + 1);
        }
        // The cells' children come before the rightmost, in the cells' order.
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
    }
    return leaves;
}

bool SqliteTablePages::extend(OverflowChain& chain, std::size_t wanted,
                              std::vector<std::byte>& assembled) {
    while (assembled.size() < wanted) {
        // A chain longer than the file has pages runs in a loop.
        if (chain.next == 0 || ++chain.pagesRead > pageCount()) return false;
        const std::optional<std::span<const std::byte>> bytes = page(pages_, chain.next);
        if (!bytes) return false;
        ByteCursor cursor(*bytes);
        const std::optional<std::uint64_t> next = cursor.readBigEndian(4);
        const std::optional<std::span<const std::byte>> piece =
            cursor.readBytes(static_cast<std::size_t>(
                std::min<std::uint64_t>(cursor.remaining(), chain.payloadSize - assembled.size())));
        if (!next || !piece) return false;
        chain.next = static_cast<std::uint32_t>(*next);
        assembled.insert(assembled.end(), piece->begin(), piece->end());
    }
    return true;
}

bool SqliteTablePages::readRows(std::span<const std::uint32_t> leaves,
                                std::span<const std::size_t> columns, const RowVisit& visit) {
    if (columns.empty()) return false;
    std::size_t stepsBack = 0;
    for (std::size_t index = 1; index < leaves.size(); ++index)
        stepsBack += leaves[index] < leaves[index - 1];
    std::optional<FileWindow> leafFile = FileWindow::open(
        path_,
        stepsBack * leavesPerStepBack <= leaves.size() ? FileWindow::defaultWindowSize : pageSize_);
    if (!leafFile) return false;
    std::vector<StoredValue> values(columns.size());
    std::vector<std::byte> assembled;
    for (const std::uint32_t leaf : leaves) {
        const std::optional<std::span<const std::byte>> bytes = page(*leafFile, leaf);
        if (!bytes) return false;
        const std::optional<PageHeader> header = readPageHeader(*bytes, leaf);
        // Only a tree's root, its one leaf, may hold no rows: SQLite refuses any other.
        if (!header || header->type != leafTablePage || (header->cells == 0 && leaves.size() > 1))
            return false;
        for (std::size_t cell = 0; cell < header->cells; ++cell) {
            std::optional<ByteCursor> cursor = cellAt(*bytes, *header, cell);
            if (!cursor) return false;
            const std::optional<std::uint64_t> payloadSize = readVarint(*cursor);
            const std::optional<std::uint64_t> rowid =
                payloadSize ? readVarint(*cursor) : std::nullopt;
            if (!rowid) return false;
            const std::size_t local = localPayloadSize(*payloadSize, usableSize_);
            std::optional<std::span<const std::byte>> payload = cursor->readBytes(local);
            if (!payload) return false;
            std::size_t needed = 0;
            RecordRead read = decodeRecord(*payload, *payloadSize, columns, values, needed);
            if (read == RecordRead::Short) {
                // The columns reach into the overflow pages: as much of them as they take.
                const std::optional<std::uint64_t> first =
                    local < *payloadSize ? cursor->readBigEndian(4) : std::nullopt;
                if (!first) return false;
                OverflowChain chain{static_cast<std::uint32_t>(*first), *payloadSize};
                assembled.assign(payload->begin(), payload->end());
                while (read == RecordRead::Short) {
                    if (needed <= assembled.size() || !extend(chain, needed, assembled))
                        return false;
                    read = decodeRecord(assembled, *payloadSize, columns, values, needed);
                }
            }
            if (read != RecordRead::Read) return false;
            visit(static_cast<std::int64_t>(*rowid), values);
        }
    }
    return true;
}

}  // namespace salvora
